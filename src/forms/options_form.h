// The options window: its controls at their designer positions, in their
// designer start state (Option3 selected, both check boxes checked).
#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

class Options final : public QDialog
{
    Q_OBJECT
public:
    explicit Options(QWidget *parent = nullptr);

    QGroupBox *Frame1() const { return m_Frame1; }
    QRadioButton *Option3() const { return m_Option3; }
    QRadioButton *Option1() const { return m_Option1; }
    QRadioButton *Option2() const { return m_Option2; }
    QGroupBox *Frame2() const { return m_Frame2; }
    QCheckBox *Check1() const { return m_Check1; }
    QCheckBox *Check2() const { return m_Check2; }
    QPushButton *Command2() const { return m_Command2; }

    // Background and frames: the surfaces that drag and re-centre the window.
    QList<QWidget *> dragSurfaces() const;

    // Command2, Esc and the window's close command all end here.
    void done(int result) override;

signals:
    // The window is closing, by any route; the controls still hold their state.
    void closing();

private:
    QGroupBox *m_Frame1;
    QRadioButton *m_Option3;
    QRadioButton *m_Option1;
    QRadioButton *m_Option2;
    QGroupBox *m_Frame2;
    QCheckBox *m_Check1;
    QCheckBox *m_Check2;
    QPushButton *m_Command2;
};
