#include "ui/core/ZuEventSignalDispatch.h"
#include "ui/core/ZuWeakRef.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class ClickEvent : public ZuEvent {
    ZU_DECLARE_CLASS(ClickEvent)
};
class DoubleClickEvent : public ClickEvent {
    ZU_DECLARE_CLASS(DoubleClickEvent)
};
class KeyEvent : public ZuEvent {
    ZU_DECLARE_CLASS(KeyEvent)
};
class Button : public ZuRttiObject {
    ZU_DECLARE_CLASS(Button)
};
ZU_DEFINE_CLASS(ClickEvent, ZuEvent, 0)
ZU_DEFINE_CLASS(DoubleClickEvent, ClickEvent, 0)
ZU_DEFINE_CLASS(KeyEvent, ZuEvent, 0)
ZU_DEFINE_CLASS(Button, ZuRttiObject, ZU_TAG('B', 'U', 'T', 'N'))

namespace {

std::vector<std::string> g_calls;

struct Window : ZuSignalReceiver {
    explicit Window(std::string n, bool accepts = false) : name(std::move(n)), accepts(accepts) {}
    void onClick(ZuRttiObject* item, ClickEvent* event) {
        g_calls.push_back(name);
        lastItem = item;
        if (accepts)
            event->accept();
        if (victim) {
            delete victim;
            victim = nullptr;
        }
        if (connectDuringEmit)
            dispatch->connect<ClickEvent>(connectDuringEmit, &Window::onClick);
    }
    std::string name;
    bool accepts;
    ZuRttiObject* lastItem = nullptr;
    Window* victim = nullptr;
    Window* connectDuringEmit = nullptr;
    ZuEventSignalDispatch* dispatch = nullptr;
};

class SignalTest : public ::testing::Test {
protected:
    void SetUp() override { g_calls.clear(); }
    Button button;
    ZuEventSignalDispatch dispatch{&button};
};

} // namespace

TEST_F(SignalTest, EmitCallsEveryConnectionInOrderByExactType) {
    Window a("a"), b("b", true), c("c");
    dispatch.connect<ClickEvent>(&a, &Window::onClick);
    dispatch.connect<ClickEvent>(&b, &Window::onClick);
    dispatch.connect<ClickEvent>(&c, &Window::onClick);
    ClickEvent click;
    EXPECT_TRUE(dispatch.emit(&button, &click));
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a", "b", "c"})) << "all run even after one accepted";
    EXPECT_EQ(a.lastItem, &button);
    g_calls.clear();
    DoubleClickEvent dbl;
    EXPECT_FALSE(dispatch.emit(&button, &dbl)) << "no inheritance in dispatch";
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(dispatch.owner(), &button);
    EXPECT_EQ(dispatch.classRecord()->tag(), ZU_TAG('E', 'S', 'D', 'H'));
}

TEST_F(SignalTest, EmitWithoutConnectionsReturnsFalseAndLeavesTheEvent) {
    KeyEvent key;
    key.accept();
    EXPECT_FALSE(dispatch.emit(&button, &key));
    EXPECT_TRUE(key.isAccepted());
    EXPECT_FALSE(dispatch.emit(&button, nullptr));
}

TEST_F(SignalTest, DeadReceiversAreNeverCalledAndArePruned) {
    Window a("a");
    auto* gone = new Window("gone");
    dispatch.connect<ClickEvent>(&a, &Window::onClick);
    dispatch.connect<ClickEvent>(gone, &Window::onClick);
    delete gone;
    EXPECT_EQ(dispatch.connectionCount(ClickEvent::staticRecord()), 2u);
    ClickEvent click;
    dispatch.emit(&button, &click);
    EXPECT_EQ(g_calls, std::vector<std::string>{"a"});
    EXPECT_EQ(dispatch.connectionCount(ClickEvent::staticRecord()), 1u) << "pruned by the emission";

    auto* later = new Window("later");
    dispatch.connect<ClickEvent>(later, &Window::onClick);
    delete later;
    Window c("c");
    dispatch.connect<ClickEvent>(&c, &Window::onClick);
    EXPECT_EQ(dispatch.connectionCount(ClickEvent::staticRecord()), 2u) << "pruned by the next connect";
}

TEST_F(SignalTest, ReceiverDestroyedDuringTheEmissionIsSkipped) {
    Window killer("killer");
    auto* victim = new Window("victim");
    killer.victim = victim;
    dispatch.connect<ClickEvent>(&killer, &Window::onClick);
    dispatch.connect<ClickEvent>(victim, &Window::onClick);
    ClickEvent click;
    dispatch.emit(&button, &click);
    EXPECT_EQ(g_calls, std::vector<std::string>{"killer"});
}

TEST_F(SignalTest, ConnectedTwiceIsCalledTwiceAndNewConnectionsWaitForTheNextEmission) {
    Window a("a"), late("late");
    dispatch.connect<ClickEvent>(&a, &Window::onClick);
    dispatch.connect<ClickEvent>(&a, &Window::onClick);
    a.dispatch = &dispatch;
    a.connectDuringEmit = &late;
    ClickEvent click;
    dispatch.emit(&button, &click);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a", "a"}));
    a.connectDuringEmit = nullptr;
    g_calls.clear();
    dispatch.emit(&button, &click);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a", "a", "late", "late"}));
}

TEST_F(SignalTest, DispatchDestroyedDuringItsOwnEmission) {
    struct Destroyer : ZuSignalReceiver {
        void onClick(ZuRttiObject*, ClickEvent*) {
            g_calls.push_back("destroyer");
            delete owned;
        }
        ZuEventSignalDispatch* owned = nullptr;
    } destroyer;
    Window after("after");
    destroyer.owned = new ZuEventSignalDispatch;
    destroyer.owned->connect<ClickEvent>(&destroyer, &Destroyer::onClick);
    destroyer.owned->connect<ClickEvent>(&after, &Window::onClick);
    ClickEvent click;
    destroyer.owned->emit(&button, &click);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"destroyer", "after"}));
}

TEST(ZuWeakRef, ClearedWhenTheObjectIsDestroyed) {
    auto* item = new Button;
    ZuWeakRef ref(item);
    ZuWeakRef copy = ref;
    EXPECT_EQ(ref.get(), item);
    EXPECT_EQ(ref.sharedCount(), 2) << "one cell shared by both";
    ZuWeakRef third(item);
    EXPECT_EQ(third.sharedCount(), 3);
    third.reset();
    EXPECT_EQ(ref.sharedCount(), 2);
    delete item;
    EXPECT_EQ(ref.get(), nullptr);
    EXPECT_TRUE(copy.isNull());
    ZuWeakRef none(nullptr);
    EXPECT_TRUE(none.isNull());

    ClickEvent event;
    {
        Button target;
        event.setTarget(&target);
        EXPECT_EQ(event.target(), &target);
    }
    EXPECT_EQ(event.target(), nullptr);
}
