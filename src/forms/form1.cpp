#include "forms/form1.h"

#include "browser/dir_list_box.h"
#include "browser/drive_list_box.h"
#include "browser/file_list_box.h"
#include "forms/accessible_names.h"
#include "forms/app_icon.h"
#include "forms/controls.h"
#include "platform/classic_timer.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

using controls::place;

namespace {

QPushButton *button(QWidget *parent, const char *name, const QString &caption, int l, int t, int w,
                    int h, const QString &tip, bool bold, bool visible)
{
    auto *b = place<QPushButton>(parent, name, l, t, w, h, tip);
    b->setText(caption);
    if (bold)
        b->setFont(controls::boldFont());
    b->setAutoDefault(false);
    b->setVisible(visible);
    return b;
}

QLabel *label(QWidget *parent, const char *name, const QString &caption, int l, int t, int w, int h,
              bool bold, bool visible)
{
    auto *lb = place<QLabel>(parent, name, l, t, w, h);
    lb->setText(caption);
    if (bold)
        lb->setFont(controls::boldFont());
    lb->setVisible(visible);
    return lb;
}

} // namespace

Form1::Form1(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                   | Qt::CustomizeWindowHint);
    setFixedSize(twips::toPixels(8685), twips::toPixels(5910));
    setWindowIcon(velmoraIcon());
    setFont(controls::windowFont());

    m_Drive1 = place<DriveListBox>(this, "Drive1", 120, 120, 4095, 315,
                                   QStringLiteral(" Select drive "));
    m_Combo2 = place<QComboBox>(this, "Combo2", 4440, 120, 3735, 315,
                                QStringLiteral(" Specify or select file pattern "));
    m_Combo2->setEditable(true);
    m_Combo2->setInsertPolicy(QComboBox::NoInsert);
    m_Command3 = button(this, "Command3", QStringLiteral("All"), 8160, 150, 375, 255,
                        QStringLiteral(" Select all files "), false, true);
    m_Dir1 = place<DirListBox>(this, "Dir1", 120, 600, 4095, 1440,
                               QStringLiteral(" Select directory "));
    m_File1 = place<FileListBox>(this, "File1", 4440, 600, 4095, 1455);
    m_Label1 = label(this, "Label1", QString(), 120, 2040, 3975, 255, false, true);
    m_Label2 = label(this, "Label2", QString(), 4320, 2040, 3135, 255, false, true);
    m_Combo1
        = place<QComboBox>(this, "Combo1", 120, 2350, 8415, 315, QStringLiteral(" Select file "));
    m_Combo1->setEditable(false);
    m_Label4
        = label(this, "Label4", QStringLiteral("Connections"), 120, 2760, 1215, 255, true, true);
    m_Label3 = label(this, "Label3", QStringLiteral("System Messages/Connection Information"), 3600,
                     2760, 4215, 255, true, true);
    m_List1 = place<QListWidget>(this, "List1", 120, 3000, 3255, 1815);
    m_List1->setSelectionMode(QAbstractItemView::MultiSelection);
    m_List1->setSortingEnabled(false);
    // Lines are one text high: no re-measuring thousands of them per repaint.
    m_List1->setUniformItemSizes(true);
    m_Text2 = place<QPlainTextEdit>(this, "Text2", 3600, 3000, 4935, 1815);
    m_Text2->setReadOnly(true);
    // Keeps its tab stop: with a caret a keyboard user sees the focus, reads
    // the details line by line and selects and copies them.
    m_Text2->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_Text2->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_Label5 = label(this, "Label5", QString(), 1080, 4845, 1455, 255, false, true);
    m_Command14 = button(this, "Command14", QStringLiteral("All"), 120, 4850, 615, 255,
                         QStringLiteral(" Select all users "), false, false);
    m_Command15 = button(this, "Command15", QStringLiteral("None"), 2760, 4850, 615, 255,
                         QStringLiteral(" De-select all users "), false, false);
    m_Label7 = label(this, "Label7", QStringLiteral("Find"), 3600, 4920, 495, 255, true, false);
    m_Text1 = place<QLineEdit>(this, "Text1", 4080, 4920, 1215, 285);
    m_Text1->setMaxLength(30);
    m_Text1->setVisible(false);
    m_Command6 = button(this, "Command6", QStringLiteral("Clear"), 5280, 4920, 615, 255,
                        QStringLiteral(" Clear text box "), false, false);
    m_Check1 = place<QCheckBox>(this, "Check1", 6060, 4920, 2415, 255);
    m_Check1->setText(QStringLiteral("Update every         secs"));
    m_Check1->setVisible(false);
    m_Text3 = place<QLineEdit>(this, "Text3", 7320, 4920, 375, 285);
    // At most two characters, but no max length here: that would cut a paste
    // before watch mode drops its non-digits ("x99" must give "99").
    m_Text3->setText(QStringLiteral("10"));
    m_Text3->setVisible(false);
    m_Text3->raise(); // sits in the gap of the check box's caption
    m_Timer1 = new ClassicTimer(this);
    m_Timer1->setObjectName(QStringLiteral("Timer1"));
    m_Timer1->setInterval(10000);

    m_Command1 = button(this, "Command1", QStringLiteral("&Scan"), 120, 5280, 615, 495,
                        QStringLiteral(" Scan all connections using the file  "), true, false);
    m_Command9 = button(this, "Command9", QStringLiteral("S&top"), 840, 5280, 615, 495,
                        QStringLiteral(" Interrupt scanning "), true, false);
    m_Command4 = button(this, "Command4", QStringLiteral("&Print"), 1560, 5280, 615, 495,
                        QStringLiteral(" Print all connections using the file "), true, false);
    m_Command5
        = button(this, "Command5", QStringLiteral("&Copy"), 2280, 5280, 615, 495,
                 QStringLiteral(" Copy all connections using the file to Clipboard "), true, false);
    m_Command16 = button(this, "Command16", QStringLiteral("&User"), 3000, 5280, 615, 495,
                         QStringLiteral(" Copy user info to Clipboard "), true, false);
    m_Command11 = button(this, "Command11", QStringLiteral("&Locked"), 3720, 5280, 855, 495,
                         QStringLiteral(" Find user who has file locked "), true, false);
    m_Command12 = button(this, "Command12", QStringLiteral("Se&nd"), 4680, 5280, 615, 495,
                         QStringLiteral(" Send message to user(s) "), true, false);
    m_Command13 = button(this, "Command13", QStringLiteral("Clea&r"), 5400, 5280, 615, 495,
                         QStringLiteral(" Clear connection for user(s) "), true, false);
    m_Command17 = button(this, "Command17", QStringLiteral("&Options"), 6120, 5280, 855, 495,
                         QStringLiteral(" Options screen "), true, true);
    m_Command7 = button(this, "Command7", QStringLiteral("&About"), 7080, 5280, 735, 495,
                        QStringLiteral(" About this program "), true, true);
    m_Command2 = button(this, "Command2", QStringLiteral("&Exit"), 7920, 5280, 615, 495,
                        QStringLiteral(" Exit Velmora  "), true, true);

    m_mnu_1 = new QMenu(QStringLiteral("&Options"), this);
    m_mnu_1->setObjectName(QStringLiteral("mnu_1"));
    m_mPopRestore = m_mnu_1->addAction(QStringLiteral("&Restore"));
    m_mPopRestore->setObjectName(QStringLiteral("mPopRestore"));
    m_mPopExit = m_mnu_1->addAction(QStringLiteral("&Exit"));
    m_mPopExit->setObjectName(QStringLiteral("mPopExit"));
    accessible::describeControls(this);
}

Form1::~Form1() = default;

void Form1::setStatus(const QString &text)
{
    if (m_Text2->toPlainText() != text)
        m_Text2->setPlainText(text);
}

QString Form1::status() const { return m_Text2->toPlainText(); }

QList<QWidget *> Form1::dragSurfaces() const
{
    return {const_cast<Form1 *>(this), m_Label1, m_Label2, m_Label3, m_Label4, m_Label5, m_Label7};
}

void Form1::setHooks(Hooks hooks) { m_hooks = std::move(hooks); }

void Form1::closeEvent(QCloseEvent *event)
{
    if (m_hooks.closing)
        m_hooks.closing();
    event->accept();
}

void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_hooks.stateChanged)
        m_hooks.stateChanged();
}

void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_hooks.stateChanged)
        m_hooks.stateChanged();
}
