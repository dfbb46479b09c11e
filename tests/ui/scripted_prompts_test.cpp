#include "support/scripted_prompts.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QPushButton>

namespace velloran {
namespace {

TEST(ScriptedPrompts, AnswersFromItsQueuesAndRecordsEveryQuestion) {
  ScriptedPrompts prompts;
  prompts.QueueAnswer(PromptAnswer::Yes);
  EXPECT_TRUE(prompts.AskYesNo("Перезаписать?", "Внимание..!"));
  EXPECT_FALSE(prompts.AskYesNo("Ещё?", "Внимание..!")) << "an unqueued question gets No";
  prompts.Error("Плохо");
  ASSERT_EQ(prompts.Records().size(), 3u);
  EXPECT_TRUE(prompts.Records()[0].answered);
  EXPECT_FALSE(prompts.Records()[1].answered);
  EXPECT_EQ(prompts.Records()[2].caption, "Ошибка!");
  EXPECT_EQ(prompts.Records()[2].buttons, PromptButtons::Ok);

  prompts.QueueSave("/tmp/a.trd", 2);
  FileDialogRequest request;
  request.title = "Сохранить";
  const FileDialogResult saved = prompts.SaveFile(request);
  EXPECT_TRUE(saved.accepted);
  EXPECT_EQ(saved.filterIndex, 2);
  EXPECT_FALSE(prompts.OpenFiles(request).accepted);

  prompts.QueueText(QStringLiteral("ABCDEFGHIJ"));
  prompts.QueueText(std::nullopt);
  TextRequest text;
  text.maxLength = 8;
  QString answer = "NEW DISK";
  EXPECT_TRUE(prompts.AskText(text, answer));
  EXPECT_EQ(answer, "ABCDEFGH");
  EXPECT_FALSE(prompts.AskText(text, answer));
  EXPECT_EQ(prompts.Records().back().startText, "ABCDEFGH");
  EXPECT_TRUE(prompts.AllUsed());
}

TEST(ScriptedPrompts, RunsAWindowScriptAndReportsItsResult) {
  ScriptedPrompts prompts;
  QDialog dialog;
  dialog.setObjectName("TSecAd");
  auto* ok = new QPushButton("Принять", &dialog);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  prompts.QueueWindow([&](QDialog& shown) {
    EXPECT_TRUE(shown.isVisible());
    ok->click();
  });
  EXPECT_TRUE(prompts.Run(dialog));
  EXPECT_FALSE(dialog.isVisible());
  prompts.QueueWindow([](QDialog&) {});
  EXPECT_FALSE(prompts.Run(dialog));
  EXPECT_FALSE(prompts.Run(dialog)) << "no script: the window counts as cancelled";
  EXPECT_EQ(prompts.Records().back().dialogName, "TSecAd");
}

TEST(Prompts, SplitsAFilterListIntoEntries) {
  EXPECT_EQ(SplitFilterList("A (*.a)|*.a|B (*.b,*.c)|*.b;*.c"), (QStringList{"A (*.a)|*.a", "B (*.b,*.c)|*.b;*.c"}));
}

}  // namespace
}  // namespace velloran
