#include "ui/prompts.h"

namespace velloran {

QStringList SplitFilterList(const QString& filterList) {
  const QStringList parts = filterList.split(QLatin1Char('|'));
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) filters << parts[i] + QLatin1Char('|') + parts[i + 1];
  return filters;
}

void Prompts::Error(const QString& text, const QString& caption) {
  Message(text, caption, PromptIcon::Error, PromptButtons::Ok);
}

bool Prompts::AskYesNo(const QString& text, const QString& caption, PromptIcon icon) {
  return Message(text, caption, icon, PromptButtons::YesNo) == PromptAnswer::Yes;
}

}  // namespace velloran
