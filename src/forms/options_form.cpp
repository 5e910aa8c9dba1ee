#include "forms/options_form.h"

#include "forms/accessible_names.h"
#include "forms/app_icon.h"
#include "forms/controls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

using controls::place;

namespace {

template<typename W>
W *captioned(QWidget *parent, const char *name, const QString &caption, int l, int t, int w, int h)
{
    auto *widget = place<W>(parent, name, l, t, w, h);
    widget->setText(caption);
    return widget;
}

} // namespace

Options::Options(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Options"));
    setWindowTitle(QStringLiteral("Velmora - Options Screen"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setFixedSize(twips::toPixels(2850), twips::toPixels(2640));
    setWindowIcon(velmoraIcon());
    setFont(controls::windowFont());

    m_Frame1 = place<QGroupBox>(this, "Frame1", 120, 120, 1815, 1335);
    m_Frame1->setTitle(QStringLiteral("Notify Me When"));
    // Siblings in one frame: auto-exclusive, so they form one group.
    m_Option3 = captioned<QRadioButton>(m_Frame1, "Option3", QStringLiteral("Don't notify me"), 240,
                                        360, 1455, 255);
    m_Option1 = captioned<QRadioButton>(m_Frame1, "Option1", QStringLiteral("No user has file"),
                                        240, 600, 1455, 375);
    m_Option2 = captioned<QRadioButton>(m_Frame1, "Option2", QStringLiteral("A user has file"), 240,
                                        960, 1455, 195);
    m_Option3->setChecked(true);

    m_Frame2 = place<QGroupBox>(this, "Frame2", 120, 1560, 1455, 975);
    m_Frame2->setTitle(QStringLiteral("Notify Me Via"));
    m_Check1 = captioned<QCheckBox>(m_Frame2, "Check1", QStringLiteral("Beep"), 240, 360, 975, 195);
    m_Check2
        = captioned<QCheckBox>(m_Frame2, "Check2", QStringLiteral("Message"), 240, 600, 975, 195);
    m_Check1->setChecked(true);
    m_Check2->setChecked(true);
    for (QWidget *w : QList<QWidget *> {m_Option3, m_Option1, m_Option2, m_Check1, m_Check2})
        controls::fitHeight(w);

    m_Command2
        = captioned<QPushButton>(this, "Command2", QStringLiteral("&Close"), 2040, 2040, 735, 495);
    m_Command2->setToolTip(QStringLiteral(" Close Options Screen  "));
    m_Command2->setFont(controls::boldFont());
    m_Command2->setAutoDefault(false);
    connect(m_Command2, &QPushButton::clicked, this, &QDialog::accept);

    QWidget::setTabOrder(m_Option3, m_Option1);
    QWidget::setTabOrder(m_Option1, m_Option2);
    QWidget::setTabOrder(m_Option2, m_Check1);
    QWidget::setTabOrder(m_Check1, m_Check2);
    QWidget::setTabOrder(m_Check2, m_Command2);
    accessible::describeControls(this);
}

QList<QWidget *> Options::dragSurfaces() const
{
    return {const_cast<Options *>(this), m_Frame1, m_Frame2};
}

void Options::done(int result)
{
    emit closing();
    QDialog::done(result);
}
