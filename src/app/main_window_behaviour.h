// How the main window lives on the desktop: hidden while minimised (the tray
// icon brings it back), re-centred whenever it reappears, closed by Esc.
#pragma once

#include <QObject>

class Form1;
class Platform;
class TrayIcon;
class WindowMoves;

class MainWindowBehaviour final : public QObject
{
    Q_OBJECT
public:
    MainWindowBehaviour(Form1 &form, Platform &platform, TrayIcon &tray, QObject *parent = nullptr);

    // Step R: normal state, to the front, shown.
    void restore();
    // The window was shown, minimised or restored.
    void onStateChanged();
    void recentre();
    void popUpMenu();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Form1 &m_form;
    TrayIcon &m_tray;
    WindowMoves *m_moves; // drags and re-centres by the background and labels
};
