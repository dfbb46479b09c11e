// What an operation wants the person to see or answer: the text, the caption,
// the icon and the buttons of one message box, as phrases of the message
// catalogue. The core only describes it; the window shows it through its
// Prompts and the command line prints it, each in its language.
#pragma once

#include <string>
#include <vector>

#include "common/messages.h"

namespace velloran {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo, YesNoCancel };

struct Message {
  Phrase Text;
  Phrase Caption;
  MessageIcon Icon = MessageIcon::None;
  MessageButtons Buttons = MessageButtons::Ok;
  std::vector<Phrase> Details;  // lines shown under the text, one each
};

// The caption and icon every sector error of the catalog window uses.
inline Message ErrorMessage(Phrase text) {
  return Message{std::move(text), Phrase(MessageId::CatalogErrorCaption), MessageIcon::Error, MessageButtons::Ok, {}};
}

// A warning or a question under the caption "Attention!".
inline Message AttentionMessage(Phrase text, MessageButtons buttons = MessageButtons::Ok) {
  return Message{std::move(text), Phrase(MessageId::CatalogAttentionCaption), MessageIcon::Warning, buttons, {}};
}

// The text and its details in `language`, one line each.
std::string RenderMessageBody(Language language, const Message& message);

}  // namespace velloran
