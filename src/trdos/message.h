// What an operation wants the person to see or answer: the text, the caption,
// the icon and the buttons of one message box. The core only describes it;
// the window shows it through its Prompts and the command line prints it.
#pragma once

#include <string>

namespace velloran {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo, YesNoCancel };

struct Message {
  std::string Text;     // UTF-8
  std::string Caption;  // UTF-8
  MessageIcon Icon = MessageIcon::None;
  MessageButtons Buttons = MessageButtons::Ok;
};

// The caption and icon every sector error of the catalog window uses.
inline Message ErrorMessage(std::string text) {
  return Message{std::move(text), "Ошибка..!", MessageIcon::Error, MessageButtons::Ok};
}

}  // namespace velloran
