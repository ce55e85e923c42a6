#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Exception.h"
#include "platform/Platform.h"
#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/sim/SimBackend.h"
#include "fake_clock.h"
#include "test_forms.h"

namespace {

using toolkit::app;
using toolkit::sim::SimBackend;
using toolkit_test::FakeClock;

// A main form with one timer that the form's showing starts.
struct TimedForm : toolkit::Form {
    toolkit::Timer* timer;
    TimedForm() : Form("Timed") {
        timer = AddTimer("Timer1");
        timer->SetInterval(1000);
        OnShow = [this] { timer->SetEnabled(true); };
    }
};

TEST(Timer, FirstTickComesOneIntervalAfterShowing) {
    FakeClock clock;
    clock.set(5000);
    SimBackend ui;
    auto* form = app().CreateForm<TimedForm>();
    std::vector<std::uint32_t> ticks;
    form->timer->OnTimer = [&] {
        ticks.push_back(clock.now());
        form->timer->SetEnabled(false);
        platform::system().sleep(1000);
        form->Close();
    };

    app().Run();

    EXPECT_EQ(ticks, (std::vector<std::uint32_t>{6000}));
    EXPECT_EQ(clock.now(), 7000u);
    EXPECT_TRUE(app().Terminated());
}

TEST(Timer, RunsEveryIntervalUntilDisabled) {
    FakeClock clock;
    SimBackend ui;
    auto* form = app().CreateForm<TimedForm>();
    form->timer->SetInterval(250);
    std::vector<std::uint32_t> ticks;
    form->timer->OnTimer = [&] {
        ticks.push_back(clock.now());
        if (ticks.size() == 3) form->Close();
    };

    app().Run();

    EXPECT_EQ(ticks, (std::vector<std::uint32_t>{250, 500, 750}));
}

TEST(Timer, ErrorInTheHandlerIsReportedAndTheTimerGoesOn) {
    FakeClock clock;
    SimBackend ui;
    ui.AnswerMessageBox(toolkit::id::kOk);
    auto* form = app().CreateForm<TimedForm>();
    int ticks = 0;
    form->timer->OnTimer = [&] {
        if (++ticks == 1) throw Exception("Disk full");
        form->Close();
    };

    app().Run();

    EXPECT_EQ(ticks, 2);
    ASSERT_EQ(ui.MessageBoxes().size(), 1u);
    EXPECT_EQ(ui.MessageBoxes()[0].text, "Disk full");
}

TEST(Timer, ProcessMessagesFiresOnlyDueTimers) {
    FakeClock clock;
    SimBackend ui;
    ui.SetIdleStep(0);
    TimedForm form;
    form.timer->SetInterval(500);
    int ticks = 0;
    form.timer->OnTimer = [&] { ++ticks; };
    form.timer->SetEnabled(true);

    clock.set(499);
    app().ProcessMessages();
    EXPECT_EQ(ticks, 0);
    clock.set(500);
    app().ProcessMessages();
    EXPECT_EQ(ticks, 1);
    app().ProcessMessages();
    EXPECT_EQ(ticks, 1);
}

TEST(Timer, NewIntervalRestartsTheCount) {
    FakeClock clock;
    SimBackend ui;
    ui.SetIdleStep(0);
    TimedForm form;
    int ticks = 0;
    form.timer->OnTimer = [&] { ++ticks; };
    form.timer->SetEnabled(true);
    clock.set(900);
    form.timer->SetInterval(1000);

    clock.set(1500);
    app().ProcessMessages();
    EXPECT_EQ(ticks, 0);
    clock.set(1900);
    app().ProcessMessages();
    EXPECT_EQ(ticks, 1);
}

TEST(Timer, StopsWithItsForm) {
    FakeClock clock;
    SimBackend ui;
    ui.SetIdleStep(0);
    int ticks = 0;
    auto form = std::make_unique<TimedForm>();
    form->timer->OnTimer = [&] { ++ticks; };
    form->timer->SetEnabled(true);
    form.reset();

    clock.set(5000);
    app().ProcessMessages();
    EXPECT_EQ(ticks, 0);
}

TEST(MessageLoop, PollingOnTheTickCountMakesProgress) {
    // A pause that processes messages until a second has passed ends, and
    // a timer due during it fires on time.
    FakeClock clock;
    SimBackend ui;
    TimedForm form;
    form.timer->SetInterval(400);
    std::vector<std::uint32_t> ticks;
    form.timer->OnTimer = [&] {
        ticks.push_back(clock.now());
        form.timer->SetEnabled(false);
    };
    form.timer->SetEnabled(true);

    const std::uint32_t start = clock.now();
    do {
        app().ProcessMessages();
    } while (clock.now() - start <= 1000 && !app().Terminated());

    EXPECT_EQ(ticks, (std::vector<std::uint32_t>{400}));
    EXPECT_EQ(clock.now(), 1001u);
}

TEST(MessageLoop, IdleTimeCanPassOutsideThePlatformsSleeps) {
    FakeClock clock;
    SimBackend ui;
    ui.SetIdleStep(5);
    ui.SetIdleClock([&](std::uint32_t ms) { clock.set(clock.now() + ms); });
    app().ProcessMessages();
    app().ProcessMessages();
    EXPECT_EQ(clock.now(), 10u);
    EXPECT_TRUE(clock.sleeps().empty());
}

TEST(MessageLoop, MainLoopWithNothingLeftToHappenFailsInsteadOfHanging) {
    FakeClock clock;
    EXPECT_NONFATAL_FAILURE(
        {
            SimBackend ui;
            app().CreateForm<toolkit_test::CountingForm>();
            app().Run();
            EXPECT_TRUE(app().Terminated());
        },
        "nothing is left to happen");
}

TEST(MessageLoop, EndlessPollingFailsInsteadOfHanging) {
    FakeClock clock;
    EXPECT_NONFATAL_FAILURE(
        {
            SimBackend ui;
            ui.SetIdleStep(0);
            while (!app().Terminated()) app().ProcessMessages();
        },
        "nothing is left to happen");
}

}  // namespace
