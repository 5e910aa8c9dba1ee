// The drive list: one entry per drive, "x:" followed by a label.
#pragma once

#include <QComboBox>

class DriveListBox final : public QComboBox
{
    Q_OBJECT
public:
    explicit DriveListBox(QWidget *parent = nullptr) : QComboBox(parent) {}
};
