#include "options/options_controller.h"

#include "forms/form1.h"
#include "forms/options_form.h"
#include "forms/window_moves.h"
#include "options/notification_settings.h"
#include "platform/classic_timer.h"

#include <QCheckBox>
#include <QRadioButton>

namespace {
int16_t flag(const QRadioButton *b) { return b->isChecked() ? int16_t(-1) : int16_t(0); }

uint8_t state(const QCheckBox *b) { return b->isChecked() ? uint8_t(1) : uint8_t(0); }
} // namespace

OptionsController::OptionsController(Form1 &form, Platform &platform,
                                     NotificationSettings &settings, QObject *parent)
    : QObject(parent),
      m_form(form),
      m_platform(platform),
      m_settings(settings),
      m_run([](Options &window) { window.exec(); })
{
}

void OptionsController::open()
{
    ClassicTimer *timer = m_form.Timer1();
    const bool paused = timer->isEnabled();
    if (paused)
        timer->setEnabled(false);

    {
        // Loaded afresh each time it opens.
        Options window(&m_form);
        WindowMoves moves(window, m_platform, window.dragSurfaces());

        // Wired before loading, so that loading raises the same handling a
        // click would.
        for (QRadioButton *b : {window.Option1(), window.Option2(), window.Option3()})
            connect(b, &QRadioButton::toggled, &window,
                    [this, &window] { onOptionClicked(window); });
        connect(window.Check1(), &QCheckBox::toggled, &window,
                [this, &window] { onCheck1Clicked(window); });
        connect(window.Check2(), &QCheckBox::toggled, &window,
                [this, &window] { onCheck2Clicked(window); });
        connect(&window, &Options::closing, &window, [this, &window] { onClosing(window); });

        load(window);
        moves.recentre();
        m_run(window);
    }

    if (paused)
        timer->setEnabled(true);
}

void OptionsController::load(Options &window)
{
    if (m_settings.NotifyWhenUserHasFile != 0)
        window.Option2()->setChecked(true);
    if (m_settings.NotifyWhenNoUserHasFile != 0)
        window.Option1()->setChecked(true);
    window.Check1()->setChecked(m_settings.NotifyByBeep != 0);
    window.Check2()->setChecked(m_settings.NotifyByMessage != 0);
}

void OptionsController::onOptionClicked(Options &window)
{
    m_settings.NotifyWhenNoUserHasFile = flag(window.Option1());
    m_settings.NotifyWhenUserHasFile = flag(window.Option2());
}

void OptionsController::onCheck1Clicked(Options &window)
{
    m_settings.NotifyByBeep = state(window.Check1());
}

void OptionsController::onCheck2Clicked(Options &window)
{
    m_settings.NotifyByMessage = state(window.Check2());
}

void OptionsController::onClosing(Options &window)
{
    m_settings.NotifyWhenUserHasFile = flag(window.Option2());
    m_settings.NotifyWhenNoUserHasFile = flag(window.Option1());
    m_settings.NotifyByBeep = state(window.Check1());
    m_settings.NotifyByMessage = state(window.Check2());
}
