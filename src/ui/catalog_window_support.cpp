#include "ui/catalog_window_support.h"

namespace velloran {

namespace {

PromptIcon IconOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return PromptIcon::Information;
    case MessageIcon::Warning: return PromptIcon::Warning;
    case MessageIcon::Error: return PromptIcon::Error;
    case MessageIcon::Question: return PromptIcon::Question;
    case MessageIcon::None: break;
  }
  return PromptIcon::None;
}

PromptButtons ButtonsOf(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::YesNo: return PromptButtons::YesNo;
    case MessageButtons::YesNoCancel: return PromptButtons::YesNoCancel;
    case MessageButtons::Ok: break;
  }
  return PromptButtons::Ok;
}

QFont MonospaceFont(const char* family, int pointSize, bool bold) {
  QFont font(QString::fromLatin1(family), pointSize, bold ? QFont::Bold : QFont::Normal);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  return font;
}

}  // namespace

PromptAnswer ShowMessage(Prompts& prompts, const Message& message) {
  return prompts.Message(QtText(message.Text), QtText(message.Caption), IconOf(message.Icon), ButtonsOf(message.Buttons));
}

bool AskTextDialog(Prompts& prompts, const TextDialog& dialog, QString& text) {
  TextRequest request;
  request.caption = QtText(dialog.Caption);
  request.text = QtText(dialog.Text);
  request.label = QtText(dialog.Label);
  request.maxLength = dialog.MaxLength;
  request.acceptButton = QtText(dialog.AcceptButton);
  request.cancelButton = QtText(dialog.CancelButton);
  text = QtText(dialog.InitialText);
  return prompts.AskText(request, text);
}

void RememberFolderSetting(CatalogWindowContext& context, const std::string& key,
                           const std::filesystem::path& folder) {
  const std::string text = FolderText(folder);
  std::string& held = key == "HobetaDir" ? context.settings.HobetaDir : context.settings.SCLDir;
  if (held == text) return;
  held = text;
  SaveFolderSetting(context.store, key, text);
}

QFont CourierNewFont(int pointSize, bool bold) { return MonospaceFont("Courier New", pointSize, bold); }

QFont TerminalFont(int pointSize) { return MonospaceFont("Terminal", pointSize, false); }

}  // namespace velloran
