#include "trdos/message.h"

namespace velloran {

std::string RenderMessageBody(Language language, const Message& message) {
  std::string body = RenderPhrase(language, message.Text);
  for (const Phrase& line : message.Details) body += "\n" + RenderPhrase(language, line);
  return body;
}

}  // namespace velloran
