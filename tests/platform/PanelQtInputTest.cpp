#include "panel/PanelFixture.h"
#include "platform_qt/PanelQtInput.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>

namespace {

using namespace pendar::test;
using pendar::PanelButton;
using pendar::PanelKey;
using pendar::PanelQtInput;
using pendar::PanelShift;

std::string Names(TShiftState shift)
{
    static const char* const kNames[] = {"Shift", "Alt", "Ctrl", "Left", "Right", "Middle", "Double"};
    std::string names;
    for (int item = ssShift; item <= ssDouble; ++item)
        if (shift.Contains(static_cast<TShiftStateItem>(item)))
            names += std::string(names.empty() ? "" : "+") + kNames[item];
    return names;
}

TEST(PanelQtInput, KeysBecomeVirtualKeyCodes)
{
    const Qt::KeyboardModifiers keypad = Qt::KeypadModifier;
    struct Case {
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        TKeyCode code;
    } cases[] = {
        {Qt::Key_A, {}, 'A'},
        {Qt::Key_Z, Qt::ShiftModifier, 'Z'},
        {Qt::Key_0, {}, '0'},
        {Qt::Key_9, {}, '9'},
        {Qt::Key_0, keypad, vk::Numpad0},
        {Qt::Key_7, keypad, 0x67},
        {Qt::Key_F1, {}, vk::F1},
        {Qt::Key_F12, {}, 0x7B},
        {Qt::Key_F24, {}, 0x87},
        {Qt::Key_Return, {}, vk::Return},
        {Qt::Key_Enter, keypad, vk::Return},
        {Qt::Key_Backspace, {}, vk::Back},
        {Qt::Key_Backtab, Qt::ShiftModifier, vk::Tab},
        {Qt::Key_Escape, {}, vk::Escape},
        {Qt::Key_Space, {}, vk::Space},
        {Qt::Key_Left, {}, vk::Left},
        {Qt::Key_Down, {}, vk::Down},
        {Qt::Key_PageUp, {}, vk::Prior},
        {Qt::Key_PageDown, {}, vk::Next},
        {Qt::Key_Home, keypad, vk::Home}, // the keypad without Num Lock
        {Qt::Key_Delete, {}, vk::Delete},
        {Qt::Key_Print, {}, vk::Snapshot},
        {Qt::Key_Shift, Qt::ShiftModifier, vk::Shift},
        {Qt::Key_Control, {}, vk::Control},
        {Qt::Key_Alt, {}, vk::Menu},
        {Qt::Key_Super_R, {}, vk::RWin},
        {Qt::Key_Menu, {}, vk::Apps},
        {Qt::Key_CapsLock, {}, vk::Capital},
        {Qt::Key_Henkan, {}, vk::Convert},
        {Qt::Key_Muhenkan, {}, vk::NonConvert},
        {Qt::Key_Zenkaku_Hankaku, {}, vk::Kanji},
        {Qt::Key_Semicolon, {}, vk::Oem1},
        {Qt::Key_Colon, Qt::ShiftModifier, vk::Oem1},
        {Qt::Key_Minus, {}, vk::OemMinus},
        {Qt::Key_Minus, keypad, vk::Subtract},
        {Qt::Key_Plus, Qt::ShiftModifier, vk::OemPlus},
        {Qt::Key_Plus, keypad, vk::Add},
        {Qt::Key_Asterisk, Qt::ShiftModifier, '8'},
        {Qt::Key_Asterisk, keypad, vk::Multiply},
        {Qt::Key_Slash, keypad, vk::Divide},
        {Qt::Key_Period, keypad, vk::Decimal},
        {Qt::Key_Exclam, Qt::ShiftModifier, '1'},
        {Qt::Key_BraceRight, Qt::ShiftModifier, vk::Oem6},
        {Qt::Key_QuoteDbl, Qt::ShiftModifier, vk::Oem7},
        {Qt::Key_unknown, {}, 0},
        {0x0416, {}, 0}, // a Cyrillic letter
        {Qt::Key_VolumeUp, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "Qt key 0x" << std::hex << c.qtKey);
        EXPECT_EQ(c.code, PanelKey(c.qtKey, c.modifiers));
    }
}

TEST(PanelQtInput, ButtonsAndModifiersBecomeButtonAndShiftValues)
{
    EXPECT_EQ(mbLeft, PanelButton(Qt::LeftButton));
    EXPECT_EQ(mbRight, PanelButton(Qt::RightButton));
    EXPECT_EQ(mbMiddle, PanelButton(Qt::MiddleButton));
    EXPECT_EQ(std::nullopt, PanelButton(Qt::BackButton));
    EXPECT_EQ(std::nullopt, PanelButton(Qt::NoButton));

    struct Case {
        Qt::KeyboardModifiers modifiers;
        Qt::MouseButtons buttons;
        bool doubleClick;
        const char* shift;
    } cases[] = {
        {{}, {}, false, ""},
        {Qt::ShiftModifier, {}, false, "Shift"},
        {Qt::ControlModifier | Qt::AltModifier, {}, false, "Alt+Ctrl"},
        {Qt::MetaModifier | Qt::KeypadModifier, {}, false, ""},
        {{}, Qt::LeftButton | Qt::MiddleButton, false, "Left+Middle"},
        {Qt::ShiftModifier, Qt::RightButton | Qt::BackButton, false, "Shift+Right"},
        {{}, Qt::LeftButton, true, "Left+Double"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shift);
        EXPECT_EQ(c.shift, Names(PanelShift(c.modifiers, c.buttons, c.doubleClick)));
    }
}

TEST(PanelQtInput, TypedCharactersBecomeCodePageBytes)
{
    struct Case {
        const char16_t* text;
        std::string bytes;
    } cases[] = {
        {u"a", "a"},
        {u"\r", "\r"},
        {u"\x01", "\x01"},               // Ctrl+A
        {u"\u3042", "\x82\xA0"},         // a double-byte character: both bytes
        {u"\uFF71", "\xB1"},             // half-width katakana: one byte
        {u"x\U0001F600y", "xy"},         // a character the code page lacks
        {u"", ""},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString());
        QKeyEvent event(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        EXPECT_EQ(c.bytes, pendar::PanelKeyChars(event));
    }
}

TEST(PanelQtInput, WidgetPositionsBecomePixels)
{
    EXPECT_EQ(3, pendar::PanelCoordinate(3.0));
    EXPECT_EQ(3, pendar::PanelCoordinate(3.75));
    EXPECT_EQ(-1, pendar::PanelCoordinate(-0.25));
    EXPECT_EQ(std::numeric_limits<int>::max(), pendar::PanelCoordinate(1e12));
    EXPECT_EQ(std::numeric_limits<int>::min(), pendar::PanelCoordinate(-1e12));
    EXPECT_EQ(0, pendar::PanelCoordinate(std::numeric_limits<double>::quiet_NaN()));
}

// A widget that shows a panel tree and hands it its input.
class PanelView : public QWidget {
public:
    explicit PanelView(TZoRGBPanel& root) : input_(root)
    {
        setMouseTracking(true);
        resize(40, 20);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override { Forward(e); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { Forward(e); }
    void mouseMoveEvent(QMouseEvent* e) override { Forward(e); }
    void mouseReleaseEvent(QMouseEvent* e) override { Forward(e); }
    void wheelEvent(QWheelEvent* e) override { Forward(e); }
    void keyPressEvent(QKeyEvent* e) override { Forward(e); }
    void keyReleaseEvent(QKeyEvent* e) override { Forward(e); }
    void enterEvent(QEnterEvent* e) override { Forward(e); }
    void leaveEvent(QEvent* e) override { Forward(e); }

private:
    void Forward(QEvent* e) { e->setAccepted(input_.Deliver(*e)); }

    PanelQtInput input_;
};

// R (30 x 10) lies at (4, 2) of a 40 x 20 widget and holds P (10 x 10 at
// 0, 0) and Q (10 x 10 at 20, 0).
class ViewTree : public testing::Test {
protected:
    ViewTree()
    {
        root = &tree.Add("R", nullptr, 4, 2, 30, 10);
        p = &tree.Add("P", root, 0, 0, 10, 10);
        q = &tree.Add("Q", root, 20, 0, 10, 10);
        root->AllCreate();
        tree.Take();
        view = std::make_unique<PanelView>(*root);
        view->show();
    }

    // Where a point of the root lies in the widget.
    QPoint At(int x, int y) const { return QPoint(x + root->OffsetX(), y + root->OffsetY()); }

    PanelTree tree;
    TZoRGBPanel* root;
    TZoRGBPanel* p;
    TZoRGBPanel* q;
    std::unique_ptr<PanelView> view;
};

TEST_F(ViewTree, PressMoveAndReleaseReachThePanelsThroughTheWidget)
{
    QTest::mouseMove(view.get(), At(5, 5)); // Qt tells the widget the pointer came in
    EXPECT_EQ("R.Enter P.Enter P.Move(5,5)", tree.Take());

    // A drag from P that ends over Q: P holds the mouse, even outside the
    // widget, and no click comes of it.
    QTest::mousePress(view.get(), Qt::LeftButton, {}, At(5, 5));
    EXPECT_EQ(p, root->MouseCapture());
    QTest::mouseMove(view.get(), At(60, 30));
    QTest::mouseRelease(view.get(), Qt::LeftButton, {}, At(25, 3));
    EXPECT_EQ(nullptr, root->MouseCapture());
    EXPECT_EQ("P.Down(5,5) P.Move(60,30) P.Up(25,3) P.Leave Q.Enter Q.Move(5,3)", tree.Take());

    QTest::mouseClick(view.get(), Qt::LeftButton, {}, At(26, 4));
    EXPECT_EQ("Q.Down(6,4) Q.Up(6,4) Q.Click Q.Move(6,4)", tree.Take());
    QTest::mouseClick(view.get(), Qt::RightButton, {}, At(26, 4));
    EXPECT_EQ("Q.Down(6,4) Q.Up(6,4) Q.Move(6,4)", tree.Take());

    // Over the root between its children, then off the root altogether.
    // Qt tells of the pointer coming in again, with no leave before.
    QTest::mouseMove(view.get(), At(15, 5));
    QTest::mouseMove(view.get(), At(-3, -1));
    EXPECT_EQ("R.Enter Q.Leave R.Move(15,5) R.Move(-3,-1)", tree.Take());
}

TEST_F(ViewTree, ThePointerEnteringAndLeavingTheWidget)
{
    const QPointF at = At(25, 5);
    QEnterEvent enter(at, at, view->mapToGlobal(at));
    QApplication::sendEvent(view.get(), &enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view.get(), &leave);
    EXPECT_EQ("R.Enter Q.Enter R.Leave Q.Leave", tree.Take());
}

TEST_F(ViewTree, HandlersSeeTheShiftStateOfEachEvent)
{
    std::string seen;
    p->OnMouseDown = [&seen](TZoRGBPanel*, TMouseButton button, TShiftState shift, int, int) {
        seen += "down" + std::to_string(button) + ":" + Names(shift) + " ";
    };
    p->OnMouseMove = [&seen](TZoRGBPanel*, TShiftState shift, int, int) { seen += "move:" + Names(shift) + " "; };
    p->OnMouseUp = [&seen](TZoRGBPanel*, TMouseButton button, TShiftState shift, int, int) {
        seen += "up" + std::to_string(button) + ":" + Names(shift) + " ";
    };
    // The events a double click with Shift held brings, the buttons held
    // after each, then a middle click and a button the tree has no value for.
    const struct {
        QEvent::Type type;
        Qt::MouseButton button;
        Qt::MouseButtons held;
        Qt::KeyboardModifiers modifiers;
    } events[] = {
        {QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier},
        {QEvent::MouseButtonRelease, Qt::LeftButton, {}, Qt::ShiftModifier},
        {QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier},
        {QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::ControlModifier},
        {QEvent::MouseButtonRelease, Qt::LeftButton, {}, {}},
        {QEvent::MouseButtonPress, Qt::MiddleButton, Qt::MiddleButton, {}},
        {QEvent::MouseButtonPress, Qt::BackButton, Qt::MiddleButton | Qt::BackButton, {}},
        {QEvent::MouseButtonRelease, Qt::BackButton, Qt::MiddleButton, {}},
        {QEvent::MouseButtonRelease, Qt::MiddleButton, {}, {}},
    };
    for (const auto& e : events) {
        const QPointF at = At(5, 5);
        QMouseEvent event(e.type, at, view->mapToGlobal(at), e.button, e.held, e.modifiers);
        QApplication::sendEvent(view.get(), &event);
    }
    // After each release the tree looks again at what lies under the pointer.
    EXPECT_EQ("down0:Shift+Left up0:Shift move:Shift down0:Shift+Left+Double move:Ctrl+Left up0: move: "
              "down2:Middle up2: move: ",
              seen);
}

TEST_F(ViewTree, TheWheelArrivesInRootCoordinates)
{
    std::string seen;
    q->OnMouseWheel = [&seen](TZoRGBPanel*, TShiftState shift, int delta, port::TPoint pos, bool& handled) {
        seen += std::to_string(delta) + "@" + std::to_string(pos.x) + "," + std::to_string(pos.y) + ":" +
                Names(shift) + " ";
        handled = true;
    };
    auto turn = [this](QPoint angle, Qt::KeyboardModifiers modifiers) {
        const QPointF at = At(25, 3);
        QWheelEvent wheel(at, view->mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(view.get(), &wheel);
        return wheel.isAccepted();
    };
    EXPECT_TRUE(turn({0, 120}, {}));
    EXPECT_TRUE(turn({0, -240}, Qt::ControlModifier));
    EXPECT_TRUE(turn({120, 0}, Qt::AltModifier)); // turned sideways by the platform
    EXPECT_FALSE(turn({120, 0}, {}));             // a sideways wheel
    EXPECT_EQ("120@5,3: -240@5,3:Ctrl 120@5,3:Alt ", seen);
}

TEST_F(ViewTree, KeysGoDownTheActiveChainWithTheirCharacters)
{
    std::string seen;
    q->SetKeyControl(true);
    q->OnKeyDown = [&seen](TZoRGBPanel*, TKeyCode& key, TShiftState shift) {
        seen += "down" + std::to_string(key) + ":" + Names(shift) + " ";
    };
    q->OnKeyUp = [&seen](TZoRGBPanel*, TKeyCode& key, TShiftState) { seen += "up" + std::to_string(key) + " "; };
    q->OnKeyPress = [&seen](TZoRGBPanel*, char& key) {
        seen += "char" + std::to_string(static_cast<unsigned char>(key)) + " ";
    };
    root->SetActive();
    ASSERT_EQ(q, root->GetActivePanel());

    QTest::keyClick(view.get(), Qt::Key_A);
    EXPECT_EQ("down65: char97 up65 ", seen);
    seen.clear();
    QKeyEvent controlA(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, "\x01");
    QApplication::sendEvent(view.get(), &controlA);
    EXPECT_EQ("down65:Ctrl char1 ", seen);

    seen.clear();
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf16(u"あ"));
    QApplication::sendEvent(view.get(), &typed);
    EXPECT_TRUE(typed.isAccepted());
    EXPECT_EQ("char130 char160 ", seen);

    // A held key repeats its press; only letting it go releases it.
    seen.clear();
    for (auto [type, repeat] : {std::pair{QEvent::KeyPress, false}, {QEvent::KeyRelease, true},
                                {QEvent::KeyPress, true}, {QEvent::KeyRelease, false}}) {
        QKeyEvent event(type, Qt::Key_Return, Qt::NoModifier, "\r", repeat);
        QApplication::sendEvent(view.get(), &event);
    }
    EXPECT_EQ("down13: char13 down13: char13 up13 ", seen);

    // Nobody takes keys: the event stays with the widget's parents.
    q->SetKeyControl(false);
    QKeyEvent ignored(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, "b");
    QApplication::sendEvent(view.get(), &ignored);
    EXPECT_FALSE(ignored.isAccepted());
}

} // namespace
