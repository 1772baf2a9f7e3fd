#include "ui/core/ZuApplication.h"
#include "ui/core/ZuDeferredDeleteQueue.h"
#include "ui/core/ZuEventSignalDispatch.h"
#include "ui/core/ZuObject.h"
#include "ui/core/ZuTimer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class TeardownEvent : public ZuEvent {
    ZU_DECLARE_CLASS(TeardownEvent)
};
ZU_DEFINE_CLASS(TeardownEvent, ZuEvent, 0)

namespace {

std::vector<std::string> g_log;

// Emits on its dispatch when destroyed, as a widget member that reports its
// own teardown would.
struct LoudMember {
    ZuEventSignalDispatch dispatch;
    ~LoudMember() {
        TeardownEvent event;
        dispatch.emit(nullptr, &event);
    }
};

// A window-like receiver whose own member emits to it during teardown. The
// handler reads `title`, which is already gone when the member's destructor
// runs, so it must not be called.
class Receiver : public ZuObject, public ZuRttiObject, public ZuSignalReceiver {
    ZU_DECLARE_CLASS(Receiver)
public:
    Receiver() { member.dispatch.connect<TeardownEvent>(this, &Receiver::onTeardown); }
    void onTeardown(ZuRttiObject*, TeardownEvent*) { g_log.push_back("called with title " + title); }
    std::string title = "main";
    LoudMember member; // destroyed before `title`
};

// Records what its guard and weak reference read from inside its destructor.
class Watched : public ZuObject, public ZuRttiObject {
    ZU_DECLARE_CLASS(Watched)
public:
    ~Watched() override {
        guardReadEmpty = guard && !*guard;
        weakReadEmpty = weak && weak->isNull();
    }
    ZuGuardedPtr<Watched>* guard = nullptr;
    ZuWeakRef* weak = nullptr;
    static inline bool guardReadEmpty = false;
    static inline bool weakReadEmpty = false;
};

struct Counter : ZuSignalReceiver {
    void onEvent(ZuRttiObject*, TeardownEvent*) { ++calls; }
    void onTimeout() { ++ticks; }
    int calls = 0;
    int ticks = 0;
};

} // namespace

ZU_DEFINE_CLASS(Receiver, ZuRttiObject, ZU_TAG('R', 'C', 'V', 'R'))
ZU_DEFINE_CLASS(Watched, ZuRttiObject, ZU_TAG('W', 'T', 'C', 'H'))

TEST(ZuLifetime, ReceiverWhoseMemberEmitsDuringTeardownIsNotCalled) {
    g_log.clear();
    auto* receiver = new Receiver;
    TeardownEvent event;
    receiver->member.dispatch.emit(nullptr, &event);
    EXPECT_EQ(g_log, std::vector<std::string>{"called with title main"}) << "alive, it is called";
    g_log.clear();
    delete receiver;
    EXPECT_TRUE(g_log.empty()) << "a dying receiver gets no signal";
}

TEST(ZuLifetime, DyingThroughASecondBasePointerToo) {
    g_log.clear();
    ZuObject* asObject = new Receiver;
    delete asObject;
    EXPECT_TRUE(g_log.empty());
}

TEST(ZuLifetime, GuardAndWeakRefReadEmptyInsideTheDerivedDestructor) {
    Watched::guardReadEmpty = Watched::weakReadEmpty = false;
    auto* watched = new Watched;
    ZuGuardedPtr<Watched> guard(watched);
    ZuWeakRef weak(watched);
    watched->guard = &guard;
    watched->weak = &weak;
    delete watched;
    EXPECT_TRUE(Watched::guardReadEmpty);
    EXPECT_TRUE(Watched::weakReadEmpty);
    EXPECT_FALSE(guard);
    EXPECT_TRUE(weak.isNull());
}

TEST(ZuLifetime, DisconnectThenConnectCallsOnce) {
    ZuEventSignalDispatch dispatch;
    Counter counter, other;
    dispatch.connect<TeardownEvent>(&counter, &Counter::onEvent);
    dispatch.connect<TeardownEvent>(&other, &Counter::onEvent);
    EXPECT_TRUE(dispatch.disconnect<TeardownEvent>(&counter, &Counter::onEvent));
    EXPECT_FALSE(dispatch.disconnect<TeardownEvent>(&counter, &Counter::onEvent)) << "nothing left to remove";
    dispatch.connect<TeardownEvent>(&counter, &Counter::onEvent);
    TeardownEvent event;
    dispatch.emit(nullptr, &event);
    EXPECT_EQ(counter.calls, 1);
    EXPECT_EQ(other.calls, 1) << "other receivers keep their connection";
    EXPECT_EQ(dispatch.disconnectAll(&counter), 1u);
    dispatch.emit(nullptr, &event);
    EXPECT_EQ(counter.calls, 1);
    EXPECT_EQ(other.calls, 2);
}

TEST(ZuLifetime, TimerDisconnectThenConnectCallsOnce) {
    ZuTimer timer;
    Counter counter;
    timer.connectTimeout(&counter, &Counter::onTimeout);
    EXPECT_TRUE(timer.disconnectTimeout(&counter, &Counter::onTimeout));
    timer.connectTimeout(&counter, &Counter::onTimeout);
    timer.fire();
    EXPECT_EQ(counter.ticks, 1);
}

namespace {
struct GdiplusUser : ZuObject {
    explicit GdiplusUser(ZuObject* parent, bool* sawGdiplus) : ZuObject(parent), sawGdiplus(sawGdiplus) {}
    ~GdiplusUser() override {
        *sawGdiplus = ZuApplication::instance() && ZuApplication::instance()->gdiplusStarted();
    }
    bool* sawGdiplus;
};
} // namespace

TEST(ZuLifetime, ApplicationDeletesItsObjectsWhileGdiplusRuns) {
    bool sawGdiplus = false;
    {
        ZuApplication app;
        ASSERT_TRUE(app.gdiplusStarted());
        new GdiplusUser(&app, &sawGdiplus);
    }
    EXPECT_TRUE(sawGdiplus);
}
