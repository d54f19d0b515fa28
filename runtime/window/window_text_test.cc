#include "runtime/window/window_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/platform/thread_context.h"
#include "runtime/values/decimal.h"
#include "runtime/window/event_loop.h"
#include "runtime/window/headless_backend.h"
#include "runtime/window/window.h"
#include "tests/testing.h"

namespace runtime {
namespace {

ControlDescription Control(int number, ControlType type, std::string text, int x, int y,
                           std::string picture = "") {
  ControlDescription control;
  control.number = number;
  control.type = type;
  control.text = std::move(text);
  control.x = x;
  control.y = y;
  control.picture = std::move(picture);
  return control;
}

// The annual summary's window: prompts, texts and display fields bound to its variables, at the
// positions that window uses; the texts are Windows-1252.
struct SummaryWindow {
  char company[40];
  int32_t first_count = 12;
  int32_t last_count = 11;
  char cpf[11];
  char name[50];
  Decimal exempt = Decimal(12345678, 2);
  Decimal taxable = Decimal(-150050, 2);
  Decimal share = Decimal(10000, 2);
  Decimal withheld = Decimal(0, 2);

  SummaryWindow() {
    Fill(company, "Padaria S\xE3o Jo\xE3o Ltda");
    Fill(cpf, "12345678901");
    Fill(name, "Jos\xE9 da Silva");
  }
  template <size_t N>
  static void Fill(char (&field)[N], const char* text) {
    std::memset(field, ' ', N);
    std::memcpy(field, text, std::strlen(text));
  }

  WindowDescription Description() {
    WindowDescription window;
    window.width = 262;
    window.height = 92;
    window.controls = {
        Control(1, ControlType::Prompt, "Empresa", 7, 3),
        Control(2, ControlType::String, "", 39, 3, "s40"),
        Control(3, ControlType::String, "Qtde Funcionario inicio", 7, 15),
        Control(4, ControlType::String, "", 83, 14, "n-14"),
        Control(5, ControlType::Prompt, "Final", 138, 15),
        Control(6, ControlType::String, "", 156, 15, "n-14"),
        Control(7, ControlType::Prompt, "Socio", 7, 27),
        Control(8, ControlType::String, "", 31, 27, "p###.###.###-##p"),
        Control(9, ControlType::String, "", 97, 27, "s50"),
        Control(10, ControlType::Prompt, "Rencimento Isento", 8, 39),
        Control(11, ControlType::String, "", 73, 39, "n-15.2"),
        Control(12, ControlType::Prompt, "Rendimento Tribut\xE1vel", 8, 52),
        Control(13, ControlType::String, "", 83, 52, "n-15.2"),
        Control(14, ControlType::Prompt, "Percentual Capital Social", 8, 65),
        Control(15, ControlType::String, "", 92, 65, "n-10.2"),
        Control(16, ControlType::String, "", 29, 78, "n-15.2"),
        Control(17, ControlType::Prompt, "IRRF", 8, 78),
    };
    window.controls[1].use = BoundVariable::OfField(company, sizeof company);
    window.controls[3].use = BoundVariable::Of(&first_count);
    window.controls[5].use = BoundVariable::Of(&last_count);
    window.controls[7].use = BoundVariable::OfField(cpf, sizeof cpf);
    window.controls[8].use = BoundVariable::OfField(name, sizeof name);
    window.controls[10].use = BoundVariable::Of(&exempt);
    window.controls[12].use = BoundVariable::Of(&taxable);
    window.controls[14].use = BoundVariable::Of(&share);
    window.controls[15].use = BoundVariable::Of(&withheld);
    return window;
  }
};

class WindowTextTest : public ::testing::Test {
 protected:
  void TearDown() override {
    DetachThread();
    SetWindowBackend(nullptr);
  }
};

TEST_F(WindowTextTest, SummaryWindowShowsEveryFigureAtItsPlace) {
  SummaryWindow variables;
  Window window(variables.Description());
  ASSERT_OK(OPENwindow(window));
  // "Final" would touch the last digit of the count before it, so it moves one column right; the
  // right-aligned numbers' leading blanks hide nothing of the labels to their left.
  EXPECT_EQ(WindowText(window),
            "+-------------------------------------------------------+\n"
            "|  Empresa Padaria São João Ltda                        |\n"
            "|                                                       |\n"
            "|  Qtde Funcionario inicio        12 Final          11  |\n"
            "|  Socio 123.456.789-01  José da Silva                  |\n"
            "|                                                       |\n"
            "|  Rencimento Isento     123456.78                      |\n"
            "|                                                       |\n"
            "|  Rendimento Tributável     -1500.50                   |\n"
            "|  Percentual Capital Social 100.00                     |\n"
            "|                                                       |\n"
            "|  IRRF            0.00                                 |\n"
            "+-------------------------------------------------------+\n");
}

TEST_F(WindowTextTest, TextsOnOneRowNeverRunIntoEachOther) {
  int32_t wide = 123456789;
  WindowDescription description;
  description.title = "Cadastro";
  description.controls = {
      Control(1, ControlType::Prompt, "Nome do funcion\xE1rio", 0, 0),
      Control(2, ControlType::Entry, "", 20, 1),  // inside the label: moved behind it
      Control(3, ControlType::String, "", 40, 0, "n-9"),
      Control(4, ControlType::Button, "&Gravar", 0, 16),
      Control(5, ControlType::Check, "Ativo && pago", 8, 16),
      Control(6, ControlType::Button, "Oculto", 80, 16),
      Control(7, ControlType::Image, "logo.bmp", 0, 30),
  };
  description.controls[2].use = BoundVariable::Of(&wide);
  description.controls[5].hidden = true;
  Window window(description);
  ASSERT_OK(OPENwindow(window));
  ASSERT_OK(SetPropS(window, 2, Property::Text, "Ana"));
  EXPECT_EQ(WindowText(window),
            "+- Cadastro --------------------------+\n"
            "|Nome do funcionário [Ana] 123456789  |\n"
            "|                                     |\n"
            "|[ Gravar ] [ ] Ativo & pago          |\n"
            "+-------------------------------------+\n");
}

TEST_F(WindowTextTest, ListsShowTheirHeaderAndRowsBelowEachOther) {
  WindowDescription description;
  description.controls = {Control(1, ControlType::List, "", 4, 0)};
  description.controls[0].columns = {{"Data", 10, "", ""}, {"Erro", 20, "", ""}};
  Window window(description);
  ASSERT_OK(OPENwindow(window));
  const VirtualListProc rows = [](void*, int32_t row, int16_t column) -> std::string {
    if (row == -1) return "2";
    return std::to_string(row) + (column == 1 ? "/01" : " Acesso negado");
  };
  ASSERT_OK(SetPropV(window, 1, Property::VirtualListProc, rows));
  EXPECT_EQ(WindowText(window),
            "+-------------------------+\n"
            "| Data | Erro             |\n"
            "| 1/01 | 1 Acesso negado  |\n"
            "| 2/01 | 2 Acesso negado  |\n"
            "+-------------------------+\n");
}

TEST_F(WindowTextTest, EmptyWindowIsAFrameAroundItsTitle) {
  WindowDescription description;
  description.title = "Aten\xE7\xE3o";
  Window window(description);
  EXPECT_EQ(WindowText(window), "+- Atenção -+\n+-----------+\n");
  EXPECT_EQ(WindowText(Window(WindowDescription{})), "++\n++\n");
}

class WindowTextFileTest : public WindowTextTest {
 protected:
  // A fresh headless backend, which reads VARDIMO_WINDOW_TEXT when it is made.
  void UseBackendWith(const std::string& window_text_file) {
    testing_support::SetEnvironment("VARDIMO_WINDOW_TEXT", window_text_file);
    SetWindowBackend(std::make_unique<HeadlessBackend>());
    testing_support::SetEnvironment("VARDIMO_WINDOW_TEXT", "");
  }

  testing_support::ScratchDir scratch_;
};

TEST_F(WindowTextFileTest, EachClosedWindowIsAppendedAsItLookedLast) {
  const std::string file = scratch_ / "windows.txt";
  UseBackendWith(file);
  int32_t count = 1;
  WindowDescription description;
  description.title = "Um";
  description.controls = {Control(1, ControlType::String, "", 0, 0, "n3")};
  description.controls[0].use = BoundVariable::Of(&count);
  Window first(description);
  ASSERT_OK(OPENwindow(first));
  EXPECT_EQ(testing_support::ReadBytes(file), "");  // nothing while it is open
  count = 42;
  DISPLAY();
  CLOSEwindow(first);
  description.title = "Dois";
  description.controls.clear();
  {
    Window second(description);
    ASSERT_OK(OPENwindow(second));
  }  // destroyed while open: closed, and so written too
  EXPECT_EQ(testing_support::ReadBytes(file),
            "+- Um -+\n| 42   |\n+------+\n"
            "+- Dois -+\n+--------+\n");
}

TEST_F(WindowTextFileTest, NoFileOrAnUnwritableOneChangesNothing) {
  UseBackendWith("");
  Window window(WindowDescription{});
  ASSERT_OK(OPENwindow(window));
  CLOSEwindow(window);
  EXPECT_TRUE(std::filesystem::is_empty(scratch_.path()));

  // A folder in place of the file, and a file below a folder that does not exist.
  for (const std::string& unwritable : {scratch_.path().string(), scratch_ / "no/such/file"}) {
    UseBackendWith(unwritable);
    ASSERT_OK(OPENwindow(window));
    CLOSEwindow(window);
    EXPECT_FALSE(window.is_open());
  }
  EXPECT_TRUE(std::filesystem::is_empty(scratch_.path()));
}

}  // namespace
}  // namespace runtime
