// What assistive technology announces for the controls of both windows: a
// name for each control (its caption, or a short name where it has none), its
// tooltip as description, and the labels that name a control (buddies).
#pragma once

class QWidget;

namespace accessible {

// Names, descriptions and buddies for the controls of a window built with
// its designer names (Form1 or Options).
void describeControls(QWidget *window);

} // namespace accessible
