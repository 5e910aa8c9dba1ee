// The main window: builds every control at its designer position and wires
// each control event to the subsystem that handles it.
#pragma once

#include <QWidget>

#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class ClassicTimer;
class DirListBox;
class DriveListBox;
class FileListBox;

class Form1 final : public QWidget
{
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    DriveListBox *Drive1() const { return m_Drive1; }
    QComboBox *Combo2() const { return m_Combo2; }
    QPushButton *Command3() const { return m_Command3; }
    DirListBox *Dir1() const { return m_Dir1; }
    FileListBox *File1() const { return m_File1; }
    QLabel *Label1() const { return m_Label1; }
    QLabel *Label2() const { return m_Label2; }
    QComboBox *Combo1() const { return m_Combo1; }
    QLabel *Label4() const { return m_Label4; }
    QLabel *Label3() const { return m_Label3; }
    QListWidget *List1() const { return m_List1; }
    QPlainTextEdit *Text2() const { return m_Text2; }
    QLabel *Label5() const { return m_Label5; }
    QPushButton *Command14() const { return m_Command14; }
    QPushButton *Command15() const { return m_Command15; }
    QLabel *Label7() const { return m_Label7; }
    QLineEdit *Text1() const { return m_Text1; }
    QPushButton *Command6() const { return m_Command6; }
    QCheckBox *Check1() const { return m_Check1; }
    QLineEdit *Text3() const { return m_Text3; }
    ClassicTimer *Timer1() const { return m_Timer1; }
    QPushButton *Command1() const { return m_Command1; }
    QPushButton *Command9() const { return m_Command9; }
    QPushButton *Command4() const { return m_Command4; }
    QPushButton *Command5() const { return m_Command5; }
    QPushButton *Command16() const { return m_Command16; }
    QPushButton *Command11() const { return m_Command11; }
    QPushButton *Command12() const { return m_Command12; }
    QPushButton *Command13() const { return m_Command13; }
    QPushButton *Command17() const { return m_Command17; }
    QPushButton *Command7() const { return m_Command7; }
    QPushButton *Command2() const { return m_Command2; }
    QMenu *mnu_1() const { return m_mnu_1; }
    QAction *mPopRestore() const { return m_mPopRestore; }
    QAction *mPopExit() const { return m_mPopExit; }

    // The text of the status box; every status line replaces it whole.
    void setStatus(const QString &text);
    QString status() const;

    // Surfaces that drag and re-centre the window: background and labels.
    QList<QWidget *> dragSurfaces() const;

    // Called by the window's own events; the app layer installs them.
    struct Hooks
    {
        std::function<void()> closing; // the window is closing, by any route
        std::function<void()> stateChanged; // shown, minimised, restored
    };
    void setHooks(Hooks hooks);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    DriveListBox *m_Drive1;
    QComboBox *m_Combo2;
    QPushButton *m_Command3;
    DirListBox *m_Dir1;
    FileListBox *m_File1;
    QLabel *m_Label1;
    QLabel *m_Label2;
    QComboBox *m_Combo1;
    QLabel *m_Label4;
    QLabel *m_Label3;
    QListWidget *m_List1;
    QPlainTextEdit *m_Text2;
    QLabel *m_Label5;
    QPushButton *m_Command14;
    QPushButton *m_Command15;
    QLabel *m_Label7;
    QLineEdit *m_Text1;
    QPushButton *m_Command6;
    QCheckBox *m_Check1;
    QLineEdit *m_Text3;
    ClassicTimer *m_Timer1;
    QPushButton *m_Command1;
    QPushButton *m_Command9;
    QPushButton *m_Command4;
    QPushButton *m_Command5;
    QPushButton *m_Command16;
    QPushButton *m_Command11;
    QPushButton *m_Command12;
    QPushButton *m_Command13;
    QPushButton *m_Command17;
    QPushButton *m_Command7;
    QPushButton *m_Command2;
    QMenu *m_mnu_1;
    QAction *m_mPopRestore;
    QAction *m_mPopExit;
    Hooks m_hooks;
};
