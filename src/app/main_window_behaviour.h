// How the main window lives on the desktop: hidden while minimised (the tray
// icon brings it back), re-centred whenever it reappears, closed by Esc.
#pragma once

#include <QObject>
#include <QTimer>

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
    // The window was shown, minimised or restored. While one of the
    // program's modal dialogs is open, a minimise of the window or of the
    // dialog is undone: the tray icon takes no clicks then.
    void onStateChanged();
    void recentre();
    void popUpMenu();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void undoMinimiseUnderModal();
    bool frameKnown() const;
    void checkFrame();

    Form1 &m_form;
    TrayIcon &m_tray;
    WindowMoves *m_moves; // drags and re-centres by the background and labels
    bool m_frameUnknown = false; // the last re-centre ran without the frame
    int m_frameChecksLeft = 0;
    QTimer m_frameCheck;
};
