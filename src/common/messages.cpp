#include "common/messages.h"

namespace velloran {

namespace {

using enum MessageId;

constexpr CatalogueEntry kCatalogue[] = {
    {CliUsageTitle, "Запуск: velloran-cli КОМАНДА ...", "Usage: velloran-cli COMMAND ..."},
    {CliCommandsTitle, "Команды:", "Commands:"},
    {CliOptionsTitle, "Параметры:", "Options:"},
    {CliHelpOption, "этот список", "this list"},
    {CliVersionOption, "версия программы", "the program's version"},
    {CliFormatsLine, "Форматы образов (velloran-cli formats): {1}", "Image formats (velloran-cli formats): {1}"},
    {CliFormatRule,
     "Образ читается в том формате, который показывает его содержимое; записывается в формате своего расширения.",
     "An image is read in the format its contents show; it is written in the format of its extension."},
    {CliUnknownCommand, "неизвестная команда «{1}» (см. velloran-cli --help)",
     "unknown command '{1}' (see velloran-cli --help)"},
    {CliUnknownOption, "неизвестный параметр {1}", "unknown option {1}"},
    {CliUsage, "запуск: {1}", "usage: {1}"},
    {CliOptionNeedsValue, "параметру {1} нужно значение", "option {1} needs a value"},
    {CliCannotLoadImage, "образ не загружен", "cannot load the image"},
    {CliCannotSaveImage, "образ не сохранён", "cannot save the image"},
    {CliLost, "{1}: потеряно: {2}", "{1}: lost {2}"},
    {CliLossyHint, "с --lossy образ будет записан, а всё потерянное перечислено",
     "--lossy converts it anyway and lists what is lost"},
    {CliNoTrdosFile, "в каталоге нет файла {1}", "no file {1} in the catalog"},
    {CliSeveralTrdosFiles, "файлов с именем {1} несколько; добавьте букву типа (ИМЯ.Т)",
     "several files are named {1}; add the type letter (NAME.T)"},
    {CliNoCpmFile, "в каталоге CP/M нет файла {1}", "no file {1} in the CP/M directory"},
    {CliExclusiveOptions, "{1} и {2} исключают друг друга", "{1} and {2} exclude each other"},
    {CliUnknownCpmFormat, "неизвестный формат CP/M {1} (известны: {2})", "unknown CP/M format {1} (known: {2})"},
    {CliBadSectorNoData, "{1}: дорожка {2}, сектор {3}: нет данных, записаны нули",
     "{1}: track {2} sector {3}: no data, written as zeros"},
    {CliBadSectorCrc, "{1}: дорожка {2}, сектор {3}: ошибка CRC данных", "{1}: track {2} sector {3}: data CRC error"},
    {CliWrittenWithBadSectors, "{1} записан, сбойных секторов: {2}", "{1} written with {2} bad sector(s)"},
    {CliUnknownFormat, "неизвестный формат «{1}»; форматы:{2}", "unknown format '{1}'; formats:{2}"},
    {CliJobsNumber, "--jobs ждёт число от 1 до {1}", "--jobs needs a number from 1 to {1}"},
    {CliNotAFolder, "{1}: это не папка", "{1}: not a folder"},
    {CliCannotCreateFolder, "{1}: папка не создана ({2})", "{1}: cannot create the folder ({2})"},
    {CliOutputReplacesInput, "{1}: результат {2} заменил бы исходный файл {3}; выберите другую папку",
     "{1}: the output {2} would replace the input {3}; choose another folder"},
    {CliOutputTakenTwice, "{1}: результат {2} уже занят файлом {3}", "{1}: the output {2} is already that of {3}"},
    {CliBatchFailed, "ошибка: {1}", "failed: {1}"},
    {CliBatchSummary, "Преобразовано: {1}, с ошибкой: {2}", "Converted: {1}, failed: {2}"},
    {CliBatchLeftOut, ", пропущено после Ctrl+C: {1}", ", left out after Ctrl+C: {1}"},
    {CliOneImageOpened, "открывается только один образ; не открыты: {1}",
     "one image is opened at a time; not opened: {1}"},
    {FileNotFound, "Файл {1} не найден!", "File {1} not found!"},
    {FileNotRegular, "{1} не является файлом!", "{1} is not a file!"},
    {FileTooLarge, "Файл {1} слишком велик: больше {2} МБ!", "File {1} is too large: over {2} MB!"},
    {FileReadError, "Ошибка чтения файла {1}{2}!", "Error reading file {1}{2}!"},
    {TrdosFilesAdded, "Добавлено файлов: {1} из {2}.", "Files added: {1} of {2}."},
};

constexpr bool RowsInIdentifierOrder() {
  for (std::size_t i = 0; i < std::size(kCatalogue); ++i)
    if (kCatalogue[i].id != static_cast<MessageId>(i)) return false;
  return std::size(kCatalogue) == static_cast<std::size_t>(MessageId::Count);
}
static_assert(RowsInIdentifierOrder(), "every message identifier has one row, in the order of MessageId");

}  // namespace

std::span<const CatalogueEntry> MessageCatalogue() { return kCatalogue; }

std::string RenderMessage(Language language, MessageId id, std::initializer_list<std::string_view> arguments) {
  const CatalogueEntry& entry = kCatalogue[static_cast<std::size_t>(id)];
  const std::string_view text = language == Language::Russian ? entry.russian : entry.english;
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t close = text.find('}', i);
    if (text[i] == '{' && close != std::string_view::npos && close - i == 2 && text[i + 1] >= '1' &&
        text[i + 1] <= '9') {
      const auto index = static_cast<std::size_t>(text[i + 1] - '1');
      if (index < arguments.size()) result += *(arguments.begin() + index);
      i = close;
      continue;
    }
    result += text[i];
  }
  return result;
}

std::string MessageText(MessageId id, std::initializer_list<std::string_view> arguments) {
  return RenderMessage(ProcessLanguage(), id, arguments);
}

}  // namespace velloran
