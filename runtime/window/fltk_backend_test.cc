// The FLTK backend on a real (virtual) X server: the controls display what the model holds, at
// their dialog-unit places, and input from the window system reaches the event loop as the
// runtime's events.
#include "runtime/window/fltk_backend.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/platform/thread_context.h"
#include "runtime/values/text.h"
#include "runtime/window/backend_testing.h"
#include "runtime/window/event_loop.h"
#include "runtime/window/message_box.h"
#include "runtime/window/window.h"

// FLTK last: its X headers define macros (Status, None, Bool) that clash with ordinary names.
#include <FL/Fl.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

namespace runtime {
namespace {

using backend_testing::ControlAt;
using backend_testing::ExpectedShownText;
using backend_testing::SetListRows;

// Sends the X event a window manager sends when the title bar's close box is pressed.
void CloseFromTitleBar(Fl_Window* window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = fl_xid(window);
  event.xclient.message_type = XInternAtom(fl_display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(fl_display, "WM_DELETE_WINDOW", False));
  XSendEvent(fl_display, fl_xid(window), False, NoEventMask, &event);
  XFlush(fl_display);
}

// Presses and releases the first mouse button over `widget`, as the X server reports a click.
void Click(Fl_Widget* widget) {
  Fl_Window* window = widget->window();
  for (int type : {ButtonPress, ButtonRelease}) {
    XEvent event{};
    event.xbutton.type = type;
    event.xbutton.window = fl_xid(window);
    event.xbutton.root = RootWindow(fl_display, fl_screen);
    event.xbutton.x = widget->x() + widget->w() / 2;
    event.xbutton.y = widget->y() + widget->h() / 2;
    event.xbutton.button = Button1;
    event.xbutton.same_screen = True;
    event.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
    XSendEvent(fl_display, fl_xid(window), False,
               type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
  }
  XFlush(fl_display);
}

class FltkBackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::unique_ptr<FltkBackend> backend = FltkBackend::Connect();
    if (backend == nullptr) GTEST_SKIP() << "no X display";
    fltk_ = backend.get();
    SetWindowBackend(std::move(backend));
  }
  void TearDown() override {
    DetachThread();
    SetWindowBackend(nullptr);
  }

  FltkBackend* fltk_ = nullptr;
};

TEST_F(FltkBackendTest, ControlsShowTheModelAtTheirDialogUnitPlaces) {
  backend_testing::ExportLikeForm form;
  std::unique_ptr<Window> window = form.Prepare();
  ASSERT_TRUE(OPENwindow(*window).ok());
  ASSERT_TRUE(SetListRows(*window, form.kList, form.rows));
  DISPLAY();

  for (const Window::Control& control : window->controls()) {
    const int number = control.description.number;
    SCOPED_TRACE(number);
    // A control's own text loses its shortcut mark; a variable's value is shown whole.
    EXPECT_EQ(fltk_->ShownText(*window, number), ExpectedShownText(control));
    const Fl_Widget* widget = fltk_->Widget(*window, number);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->x(), control.description.x * fltk_->base_x() / 4);
    EXPECT_EQ(widget->y(), control.description.y * fltk_->base_y() / 8);
  }
  EXPECT_EQ(fltk_->ShownText(*window, form.kList), "primeira\nsegunda\n");
  EXPECT_EQ(fltk_->ShownText(*window, 3), "          1234");
  EXPECT_EQ(fltk_->ShownText(*window, 5), "123.456.789-09");
  EXPECT_EQ(fltk_->ShownText(*window, 2).substr(0, 21), "Jo\xC3\xA3o & Filhos @ S\xC3\xA3o");
  EXPECT_EQ(fltk_->ShownText(*window, 1), "Empresa");
  const Fl_Widget* frame = fltk_->Widget(*window, 0);
  EXPECT_EQ(frame->w(), 262 * fltk_->base_x() / 4);
  EXPECT_EQ(frame->h(), 92 * fltk_->base_y() / 8);

  // A change of the variable shows once the window is redisplayed; the row the user selected
  // stays selected.
  auto* list = static_cast<Fl_Browser*>(fltk_->Widget(*window, 6));
  list->value(2);
  form.employees = 7;
  DISPLAY();
  EXPECT_EQ(fltk_->ShownText(*window, 3), "             7");
  EXPECT_EQ(list->value(), 2);
  CLOSEwindow(*window);
  EXPECT_EQ(fltk_->Widget(*window, 0), nullptr);
}

TEST_F(FltkBackendTest, ASizeChangedByTheWindowSystemIsTheSizedEvent) {
  WindowDescription description;
  description.controls = {ControlAt(1, ControlType::Prompt, 4, 4, "Texto")};
  std::unique_ptr<Window> window = pwopen(description);
  ASSERT_TRUE(OPENwindow(*window).ok());
  bool sized = false;
  RunEventLoop(*window, [&] {
    if (EVENT() == event::kOpenWindow) {
      auto* frame = static_cast<Fl_Window*>(fltk_->Widget(*window, 0));
      XResizeWindow(fl_display, fl_xid(frame), 300, 200);
      XFlush(fl_display);
    } else if (EVENT() == event::kSized) {
      sized = true;
      return CycleResult::Leave;
    }
    return CycleResult::Default;
  });
  EXPECT_TRUE(sized);
  CLOSEwindow(*window);
}

TEST_F(FltkBackendTest, AClickAndTheCloseBoxReachTheLoopAsTheirEvents) {
  WindowDescription description;
  description.controls = {ControlAt(1, ControlType::Prompt, 4, 4, "Pergunta"),
                          ControlAt(2, ControlType::Button, 4, 20, "&Ok")};
  std::unique_ptr<Window> window = pwopen(description);
  ASSERT_TRUE(OPENwindow(*window).ok());
  std::vector<std::pair<int, int>> seen;
  bool clicked = false, closed = false;
  RunEventLoop(*window, [&] {
    seen.emplace_back(EVENT(), FIELD());
    if (EVENT() == event::kOpenWindow) {
      Click(fltk_->Widget(*window, 2));
    } else if (EVENT() == event::kAccepted && FIELD() == 2) {
      clicked = true;
      CloseFromTitleBar(static_cast<Fl_Window*>(fltk_->Widget(*window, 0)));
    } else if (EVENT() == event::kCloseWindow) {
      closed = true;
      return CycleResult::Leave;
    }
    return CycleResult::Default;
  });
  EXPECT_TRUE(clicked);
  EXPECT_TRUE(closed);
  CLOSEwindow(*window);
}

TEST_F(FltkBackendTest, TheMessageBoxAnswersWithTheButtonPressed) {
  struct Answer {
    const char* label;
  };
  static Answer answer;
  // Presses the button named answer.label of the message box once it is up.
  auto press = [](void*) {
    for (Fl_Window* shown = Fl::first_window(); shown != nullptr; shown = Fl::next_window(shown)) {
      for (int i = 0; i < shown->children(); ++i) {
        Fl_Widget* child = shown->child(i);
        if (dynamic_cast<Fl_Button*>(child) != nullptr && child->label() != nullptr &&
            std::string(child->label()) == answer.label) {
          Click(child);
          return;
        }
      }
    }
  };
  answer.label = "No";
  Fl::add_timeout(0.2, press);
  EXPECT_EQ(MessageBox("Apagar o registro?|Confirme.", "Apagar", kIconQuestion,
                       button::kYes | button::kNo, button::kYes),
            button::kNo);

  // Closed from its title bar: Cancel, where there is one.
  Fl::add_timeout(0.2, [](void*) { CloseFromTitleBar(Fl::first_window()); });
  EXPECT_EQ(MessageBox("Continuar?", "Aviso", "", button::kOk | button::kCancel, button::kOk),
            button::kCancel);
}

}  // namespace
}  // namespace runtime
