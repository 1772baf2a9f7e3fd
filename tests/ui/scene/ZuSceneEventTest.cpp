#include "ui/core/ZuEventSignalDispatch.h"
#include "ui/scene/ZuDefaultViewEventHandler.h"
#include "ui/scene/ZuGraphicsScene.h"
#include "ui/scene/ZuGraphicsView.h"
#include "ui/scene/ZuHoverFocusEvents.h"
#include "ui/scene/ZuKeyEvents.h"
#include "ui/scene/ZuMouseEvents.h"
#include "ui/scene/ZuWidgetItem.h"

#include <gtest/gtest.h>

#include <windowsx.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

// Turns window messages into the events a window adapter sends to its view.
class MessageDriver {
public:
    explicit MessageDriver(ZuGraphicsView* view) : m_view(view) {}

    bool send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, uint8_t modifiers = 0) {
        switch (message) {
        case WM_MOUSEMOVE: {
            ZuMouseMoveEvent event;
            fill(event, lParam, wParam & MK_LBUTTON ? 1 : 0);
            event.delta = {event.windowPoint.x - m_last.x, event.windowPoint.y - m_last.y};
            m_last = event.windowPoint;
            return m_view->sendEvent(&event);
        }
        case WM_LBUTTONDOWN: {
            ZuMouseDownEvent event;
            fill(event, lParam, 1);
            m_last = event.windowPoint;
            return m_view->sendEvent(&event);
        }
        case WM_LBUTTONUP: {
            ZuMouseUpEvent event;
            fill(event, lParam, 1);
            m_last = event.windowPoint;
            return m_view->sendEvent(&event);
        }
        case WM_KEYDOWN: {
            ZuKeyDownEvent event(wParam, lParam);
            event.modifiers = modifiers;
            return m_view->sendEvent(&event);
        }
        case WM_CHAR: {
            ZuCharEvent event(wParam, lParam);
            return m_view->sendEvent(&event);
        }
        }
        return false;
    }
    void move(int x, int y) { send(WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
    void press(int x, int y) { send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void drag(int x, int y) { send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }
    void release(int x, int y) { send(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
    void click(int x, int y) {
        move(x, y);
        press(x, y);
        release(x, y);
    }

private:
    static void fill(ZuMouseEvent& event, LPARAM lParam, int buttons) {
        event.windowPoint = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        event.viewPoint = event.windowPoint;
        event.screenPoint = event.windowPoint;
        event.buttons = buttons;
    }
    ZuGraphicsView* m_view;
    ZuPoint m_last;
};

// A widget that logs what reaches its handler, by name.
class LoggingWidget : public ZuWidgetItem {
    ZU_DECLARE_CLASS(LoggingWidget)
public:
    LoggingWidget(std::string name, ZuGraphicsItem* parent, ZuGraphicsScene* scene, ZuRectF geometry)
        : ZuWidgetItem(parent, scene), name(std::move(name)) {
        setGeometry(geometry);
        listen<ZuHoverEnterEvent>("enter");
        listen<ZuHoverLeaveEvent>("leave");
        listen<ZuMouseDownEvent>("down");
        listen<ZuMouseUpEvent>("up");
        listen<ZuMouseMoveEvent>("move");
        listen<ZuFocusInEvent>("focusin");
        listen<ZuFocusOutEvent>("focusout");
        listen<ZuKeyDownEvent>("key");
        listen<ZuCharEvent>("char");
    }
    template <typename E> void listen(const char* what) {
        std::string entry = std::string(what) + " " + name;
        eventHandler()->addEventListener<E>(
            [entry](ZuGraphicsItem*, ZuSceneEvent*) { g_log.push_back(entry); });
    }
    std::string name;
};

// A window that connects to its buttons' clicks.
struct Window : ZuSignalReceiver {
    void onClicked(ZuWidgetItem* widget, ZuMouseClickedEvent*) {
        g_log.push_back("clicked " + static_cast<LoggingWidget*>(widget)->name);
        ++clicks;
    }
    int clicks = 0;
};

class SceneEventTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_log.clear();
        scene.setFlag(ZuGraphicsScene::OwnsTopLevelItems, true);
        view.setSceneRect({0, 0, 400, 300});
        view.setViewport({0, 0, 400, 300});
    }
    std::vector<std::string> take() {
        std::vector<std::string> out;
        out.swap(g_log);
        return out;
    }
    // Only the entries that start with one of the prefixes.
    std::vector<std::string> take(std::initializer_list<const char*> prefixes) {
        std::vector<std::string> out;
        for (const std::string& entry : take())
            for (const char* prefix : prefixes)
                if (entry.rfind(prefix, 0) == 0)
                    out.push_back(entry);
        return out;
    }
    ZuGraphicsScene scene;
    ZuGraphicsView view{&scene};
    MessageDriver driver{&view};
};

using Log = std::vector<std::string>;

} // namespace

ZU_DEFINE_CLASS(LoggingWidget, ZuWidgetItem, 0)

TEST_F(SceneEventTest, HoverEnterAndLeaveAcrossNestedItems) {
    auto* outer = new LoggingWidget("outer", nullptr, &scene, {10, 10, 100, 100});
    new LoggingWidget("inner", outer, nullptr, {10, 10, 30, 30}); // scene (20, 20) to (50, 50)
    new LoggingWidget("other", nullptr, &scene, {200, 10, 50, 50});

    driver.move(25, 25);
    EXPECT_EQ(take({"enter", "leave"}), (Log{"enter outer", "enter inner"})) << "outermost first";
    driver.move(30, 30);
    EXPECT_TRUE(take({"enter", "leave"}).empty()) << "moving within the same item changes nothing";
    driver.move(80, 80);
    EXPECT_EQ(take({"enter", "leave"}), Log{"leave inner"})
        << "into the parent's empty space: the child only";
    driver.move(25, 25);
    EXPECT_EQ(take({"enter", "leave"}), Log{"enter inner"});
    driver.move(210, 20);
    EXPECT_EQ(take({"enter", "leave"}), (Log{"leave inner", "leave outer", "enter other"}))
        << "into another top-level item: the old chain leaves, innermost first";
    driver.move(390, 290);
    EXPECT_EQ(take({"enter", "leave"}), Log{"leave other"});
    EXPECT_EQ(scene.specialItem(ZuGraphicsScene::HoverSlot), nullptr);
}

TEST_F(SceneEventTest, MoveGoesToTheDeepestHoveredItem) {
    auto* outer = new LoggingWidget("outer", nullptr, &scene, {10, 10, 100, 100});
    auto* inner = new LoggingWidget("inner", outer, nullptr, {10, 10, 30, 30});
    driver.move(25, 25);
    EXPECT_EQ(scene.specialItem(ZuGraphicsScene::HoverSlot), inner);
    take();
    driver.move(26, 26);
    EXPECT_EQ(take({"move"}), Log{"move inner"});
}

TEST_F(SceneEventTest, ClickOnlyWhenReleasedInside) {
    Window window;
    auto* button = new LoggingWidget("button", nullptr, &scene, {10, 10, 50, 20});
    button->signals()->connect<ZuMouseClickedEvent>(&window, &Window::onClicked);

    driver.click(20, 20);
    // The scene handler synthesises the click before the release goes on to the button.
    EXPECT_EQ(take({"down", "up", "clicked"}), (Log{"down button", "clicked button", "up button"}));

    driver.move(20, 20);
    driver.press(20, 20);
    driver.drag(200, 200);
    driver.release(200, 200);
    EXPECT_EQ(take({"down", "up", "clicked"}), (Log{"down button", "up button"}))
        << "press and release, but no click outside";
    EXPECT_EQ(window.clicks, 1);
    EXPECT_EQ(scene.mouseGrabber(), nullptr) << "the implicit grab ends with the release";

    driver.release(20, 20);
    EXPECT_EQ(window.clicks, 1) << "a release without a press is no click";
}

TEST_F(SceneEventTest, PressedItemKeepsTheMouseDuringADrag) {
    auto* button = new LoggingWidget("button", nullptr, &scene, {10, 10, 50, 20});
    new LoggingWidget("cover", nullptr, &scene, {100, 100, 50, 50});
    driver.move(20, 20);
    driver.press(20, 20);
    EXPECT_EQ(scene.mouseGrabber(), button);
    EXPECT_TRUE(scene.topGrabIsImplicit());
    take();
    driver.drag(120, 120);
    driver.drag(125, 125);
    EXPECT_EQ(take(), (Log{"move button", "move button"})) << "no hover change and no move for the cover";
    driver.release(120, 120);
    Log afterRelease = take();
    EXPECT_EQ(afterRelease, (Log{"leave button", "enter cover", "up button"}))
        << "hover catches up once the grab is gone, and the button still gets its release";
}

TEST_F(SceneEventTest, MovableWidgetMovesAndIsNotClicked) {
    Window window;
    auto* handle = new LoggingWidget("handle", nullptr, &scene, {10, 10, 50, 50});
    handle->setItemFlag(ZuGraphicsItem::Movable, true);
    handle->signals()->connect<ZuMouseClickedEvent>(&window, &Window::onClicked);
    driver.move(20, 20);
    driver.press(20, 20);
    EXPECT_EQ(scene.specialItem(ZuGraphicsScene::DragSlot), handle);
    driver.drag(30, 25);
    driver.drag(35, 25);
    EXPECT_EQ(handle->pos(), (ZuPointF{25, 15}));
    driver.release(35, 25);
    EXPECT_EQ(window.clicks, 0) << "a drag suppresses the click";
    EXPECT_EQ(scene.specialItem(ZuGraphicsScene::DragSlot), nullptr);
}

TEST_F(SceneEventTest, FocusByClickAndClearedByAClickInEmptySpace) {
    auto* a = new LoggingWidget("a", nullptr, &scene, {10, 10, 50, 20});
    auto* b = new LoggingWidget("b", nullptr, &scene, {10, 50, 50, 20});
    driver.click(20, 15);
    EXPECT_TRUE(a->hasFocus());
    EXPECT_EQ(take({"focus"}), Log{"focusin a"});
    driver.click(20, 55);
    EXPECT_TRUE(b->hasFocus());
    EXPECT_FALSE(a->hasFocus());
    EXPECT_EQ(take({"focus"}), (Log{"focusout a", "focusin b"}));
    driver.click(300, 250);
    EXPECT_EQ(scene.focusItem(), nullptr);
    EXPECT_EQ(take({"focus"}), Log{"focusout b"});

    scene.setFlag(ZuGraphicsScene::KeepFocus, true);
    driver.click(20, 55);
    driver.click(300, 250);
    EXPECT_TRUE(b->hasFocus()) << "the keep-focus flag keeps it";

    b->setEnabled(false);
    scene.setFocusItem(b, ZuGraphicsItem::OtherFocusReason);
    scene.setFocusItem(a, ZuGraphicsItem::OtherFocusReason);
    scene.setFocusItem(b, ZuGraphicsItem::OtherFocusReason);
    EXPECT_EQ(scene.focusItem(), nullptr) << "a disabled item clears the focus instead";
}

TEST_F(SceneEventTest, FocusProxyTakesTheFocusOfAClick) {
    auto* label = new LoggingWidget("label", nullptr, &scene, {10, 10, 50, 20});
    auto* edit = new LoggingWidget("edit", nullptr, &scene, {10, 50, 50, 20});
    label->setFocusProxy(edit);
    driver.click(20, 15);
    EXPECT_EQ(scene.focusItem(), edit);
    EXPECT_TRUE(label->hasFocus()) << "its proxy has the focus";
    EXPECT_EQ(take({"focus"}), Log{"focusin edit"});
}

TEST_F(SceneEventTest, TabFocus) {
    auto* first = new LoggingWidget("first", nullptr, &scene, {10, 10, 50, 20});
    new LoggingWidget("second", nullptr, &scene, {10, 50, 50, 20});
    first->setFocusPolicy(ZuGraphicsItem::StrongFocus);

    EXPECT_FALSE(driver.send(WM_KEYDOWN, VK_TAB)) << "no chain start, nothing focused before: not handled";
    scene.setSpecialItem(ZuGraphicsScene::TabChainStartSlot, first);
    EXPECT_FALSE(driver.send(WM_KEYDOWN, VK_TAB, 0, ZuKeyEvent::Control)) << "Control+Tab is not handled";
    EXPECT_TRUE(driver.send(WM_KEYDOWN, VK_TAB));
    EXPECT_TRUE(first->hasFocus());
    take();
    driver.click(300, 250);
    EXPECT_EQ(scene.focusItem(), nullptr);
    EXPECT_TRUE(driver.send(WM_KEYDOWN, VK_TAB, 0, ZuKeyEvent::Shift))
        << "back-Tab returns to the last focus item";
    EXPECT_TRUE(first->hasFocus());
    EXPECT_EQ(take({"focus"}), (Log{"focusout first", "focusin first"}));
}

TEST_F(SceneEventTest, KeysAndCharactersGoToTheFocusItem) {
    auto* a = new LoggingWidget("a", nullptr, &scene, {10, 10, 50, 20});
    new LoggingWidget("b", nullptr, &scene, {10, 50, 50, 20});
    driver.send(WM_KEYDOWN, 'A');
    EXPECT_TRUE(take({"key"}).empty()) << "nothing focused: no target";
    driver.click(20, 15);
    take();
    driver.move(20, 55); // the pointer over another widget does not matter
    take();
    driver.send(WM_KEYDOWN, 'A');
    driver.send(WM_CHAR, 'a');
    EXPECT_EQ(take(), (Log{"key a", "char a"}));
    a->setEnabled(false);
    driver.send(WM_KEYDOWN, 'A');
    EXPECT_TRUE(take({"key"}).empty()) << "a disabled handler receives nothing";
}

TEST_F(SceneEventTest, ItemDestroyedInsideItsOwnClickHandler) {
    struct Closer : ZuSignalReceiver {
        void onClicked(ZuWidgetItem* widget, ZuMouseClickedEvent*) {
            g_log.push_back("closing");
            delete widget;
        }
    } closer;
    auto* viaSignal = new LoggingWidget("signal", nullptr, &scene, {10, 10, 50, 20});
    viaSignal->signals()->connect<ZuMouseClickedEvent>(&closer, &Closer::onClicked);
    auto* viaListener = new LoggingWidget("listener", nullptr, &scene, {10, 50, 50, 20});
    viaListener->eventHandler()->addEventListener<ZuMouseClickedEvent>(
        [](ZuGraphicsItem* item, ZuSceneEvent*) {
            g_log.push_back("closing");
            delete item;
        });
    ZuWeakRef signalRef(viaSignal), listenerRef(viaListener);

    driver.click(20, 15);
    EXPECT_TRUE(signalRef.isNull());
    driver.click(20, 55);
    EXPECT_TRUE(listenerRef.isNull());
    EXPECT_EQ(take({"closing"}), (Log{"closing", "closing"}));
    EXPECT_TRUE(scene.items().empty());
    EXPECT_EQ(scene.mouseGrabber(), nullptr);
    EXPECT_TRUE(static_cast<ZuDefaultViewEventHandler*>(view.eventHandler())->hoverStack().empty());
    driver.click(20, 15); // nothing left to hit, nothing to crash on
    EXPECT_TRUE(take().empty());
}
