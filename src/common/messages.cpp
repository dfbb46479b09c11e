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
    {AtTrack, "дорожка {1}: {2}", "track {1}: {2}"},
    {AtSector, "дорожка {1}, сектор {2}: {3}", "track {1}, sector {2}: {3}"},
    {LossNotHeld, "{1} (формат {2} этого не хранит)", "{1} (the {2} format does not hold it)"},
    {LossNoDataField, "сектор без поля данных", "a sector without a data field"},
    {LossDataCrcError, "ошибка CRC данных", "a data CRC error"},
    {LossIdCrcError, "ошибка CRC заголовка сектора", "a sector ID CRC error"},
    {LossDeletedMark, "метка удалённых данных", "a deleted-data mark"},
    {LossWeakCopies, "копий слабого сектора: {1}, формат хранит одну",
     "{1} copies of a weak sector, the format holds one"},
    {LossFmRecording, "запись FM", "FM recording"},
    {LossDataRate, "скорость {1} кбит/с", "a data rate of {1} kbit/s"},
    {LossDeletedFile, "удалённый файл", "a deleted file"},
    {LossDiskLabel, "название диска", "the disk's label"},
    {LossOutsideFiles, "данные вне файлов каталога", "data outside the catalog's files"},
    {LossComment, "комментарий к диску", "the disk's comment"},
    {LossRevolutions, "оборотов: {1}, сохраняется только первый", "{1} revolutions, only the first is kept"},
    {LossDataBeyond, "данные {1} байт, формат {2} хранит {3}", "{1} bytes of data, the {2} format holds {3}"},
    {LossRawBytes, "сырые данные дорожки {1} байт, формат {2} хранит {3}",
     "{1} bytes of raw track, the {2} format holds {3}"},
    {LossLongSector, "{1} длиннее дорожки: записан до конца дорожки, с ошибкой CRC",
     "{1} is longer than the track: written up to the track's end, with a CRC error"},
    {SectorWithSizeCode, "сектор с кодом размера {1}", "a sector of size code {1}"},
    {SectorOfBytes, "сектор {1} байт", "a {1}-byte sector"},
    {ImageEmpty, "Образ {1} пуст: в файле нет ни одного байта!", "The {1} image is empty: the file has no bytes!"},
    {ImageTooManyTracks, "Образ {1} слишком велик: дорожек {2}, а на диске их не больше {3}!",
     "The {1} image is too big: {2} tracks, a disk holds at most {3}!"},
    {NoticeShortLastTrack, "{1}: файлу не хватает {2} байт до целой дорожки; они читаются как нули.",
     "{1}: the file is {2} bytes short of a whole track; they read as zeros."},
    {NoTracksToWrite, "Нет дорожек для записи!", "No tracks to write!"},
    {DumpSectorMissing, "Образ {1} не сохранён: на дорожке {2} нет сектора {3}!",
     "The {1} image is not saved: track {2} has no sector {3}!"},
    {LossSectorNumberNotInFormat, "сектора с таким номером нет в формате {1}",
     "the {1} format has no sector of this number"},
    {LossDuplicateSector, "второй сектор с тем же номером", "a second sector of the same number"},
    {LossSectorSize, "{1}, формат {2} хранит сектора по {3} байт", "{1}, the {2} format holds sectors of {3} bytes"},
    {Verbatim, "{1}", "{1}"},
    {FileCannotCreate, "Ошибка создания файла {1}: {2}!", "Cannot create file {1}: {2}!"},
    {FileCannotWrite, "Ошибка записи файла {1}: {2}!", "Error writing file {1}: {2}!"},
    {FileNoWriteAccess, "Нет доступа на запись к файлу {1}: {2}!", "No write access to file {1}: {2}!"},
    {FileReadOnly, "Файл {1} только для чтения!", "File {1} is read-only!"},
    {NotOfFormat, "Файл не в формате {1}!", "The file is not in the {1} format!"},
    {FileTooShort, "Файл {1} слишком короток!", "The {1} file is too short!"},
    {FileHeaderError, "Ошибка в заголовке файла {1}!", "Error in the {1} file header!"},
    {FileLengthError, "Ошибка в длине файла {1}!", "Error in the {1} file length!"},
    {FileCrcError, "Ошибка контрольной суммы файла {1}!", "{1} file checksum error!"},
    {TrackHeaderError, "Ошибка в заголовке дорожки файла {1}!", "Error in a track header of the {1} file!"},
    {TrackLengthError, "Ошибка в длине дорожки файла {1}!", "Error in a track length of the {1} file!"},
    {CompressedTrackError, "Ошибка в сжатой дорожке файла {1}!", "Error in a compressed track of the {1} file!"},
    {FileCutShort, "Файл {1} обрезан: он кончается на байте {2}, а заголовок обещает {3}!",
     "The {1} file is cut short: it ends at byte {2}, its header promises {3}!"},
    {FileLongerThanHeader, "Файл {1} длиннее, чем сказано в заголовке: {2} байт, а заголовок обещает {3}!",
     "The {1} file is longer than its header says: {2} bytes, the header promises {3}!"},
    {TrackRateTooHigh,
     "Формат {1} не вмещает дорожку {2}: на ней секторов {3}, {4} байт данных, записанных на скорости {5} кбит/с, а "
     "дорожка формата — {6} байт, как при {7} кбит/с!",
     "The {1} format cannot hold track {2}: it has {3} sectors, {4} bytes of data recorded at {5} kbit/s, and a track "
     "of the format is {6} bytes, as at {7} kbit/s!"},
    {TrackTooFull,
     "Формат {1} не вмещает дорожку {2}: секторов {3}, {4} байт данных не помещаются в {5} байт его дорожки!",
     "The {1} format cannot hold track {2}: {3} sectors with {4} bytes of data do not fit in its {5}-byte track!"},
    {TrackSectorNotPlaced, "Формат {1} не вмещает дорожку {2}: сектор {3} не помещается на её сырые данные!",
     "The {1} format cannot hold track {2}: sector {3} does not fit on its raw track!"},
    {TrackNotBuilt, "Формат {1} не вмещает дорожку {2}: её сырые данные не удаётся построить!",
     "The {1} format cannot hold track {2}: its raw track cannot be built!"},
    {FluxTooLarge, "Образ потока слишком велик: больше {1} миллионов переходов!",
     "The flux image is too large: more than {1} million flux transitions!"},
    {ScpTrackError, "Ошибка в дорожке SCP по смещению {1}!", "Error in the SCP track at offset {1}!"},
    {ScpFluxPastEnd, "Ошибка в дорожке SCP по смещению {1}: поток выходит за конец файла!",
     "Error in the SCP track at offset {1}: the flux runs past the end of the file!"},
    {ScpCellWidth, "Значения потока SCP по {1} бит не поддерживаются!",
     "SCP flux values of {1} bits are not supported!"},
    {ScpChecksumMismatch, "Контрольная сумма SCP не сходится: файл, возможно, повреждён.",
     "The SCP checksum does not match: the file may be damaged."},
    {TracksBeyondLeftOut, "{1}: дорожки за {2} цилиндрами диска не загружены.",
     "{1}: tracks beyond the disk's {2} cylinders were left out."},
    {MfiTrackError, "Ошибка в дорожке MFI {1}!", "Error in MFI track {1}!"},
    {MfiTrackNotUnpacked, "Дорожку MFI {1} не удаётся распаковать!", "MFI track {1} cannot be unpacked!"},
    {MfiTrackNotPacked, "Дорожку MFI {1} не удаётся сжать!", "MFI track {1} cannot be compressed!"},
    {KryoFluxCannotOpen, "Файл потока KryoFlux не открывается!", "Cannot open the KryoFlux stream file!"},
    {KryoFluxBadName, "Имя файла не похоже на имя потока KryoFlux (NN.S.raw)!",
     "Not a KryoFlux stream file name (NN.S.raw)!"},
    {KryoFluxNoStreams, "Файлы потоков KryoFlux (NN.S.raw) не найдены!", "No KryoFlux stream files (NN.S.raw) found!"},
    {KryoFluxBlockPastEnd, "Блок потока KryoFlux выходит за конец файла!",
     "A KryoFlux stream block runs past the end of the file!"},
    {InFile, "{1}: {2}", "{1}: {2}"},
    {KryoFluxEndsEarly,
     "Поток KryoFlux дорожки {1} ({2}) обрывается без завершающего блока: поток после обрыва потерян, секторы там "
     "потеряны или сбойные.",
     "The KryoFlux stream of track {1} ({2}) ends early, without its end block: the flux after the cut is missing, and "
     "sectors there are lost or bad."},
    {FluxTracksWithoutRaw,
     "Дорожек, у которых сохранены секторы, но не сырые данные: {1} (FM или длиннее {2} байт, которые хранит "
     "программа: высокая плотность).",
     "{1} tracks keep their sectors but not their raw track: FM, or longer than the {2} bytes the program holds (high "
     "density)."},
    {MoreNotesInLogs, "{1} (и ещё заметок в журналах дорожек: {2})", "{1} (and {2} more notes in the track logs)"},
    {LossFluxCut, "оборотов {1} из {2} не поместились в память (не больше {3} переходов на диск)",
     "{1} of {2} revolutions did not fit in memory (at most {3} transitions per disk)"},
    {LossCylinderBeyond, "цилиндр {1}, сторона {2}: секторы за пределами {4} цилиндров диска не загружены: {3}",
     "cylinder {1}, side {2}: sectors beyond the disk's {4} cylinders, not loaded: {3}"},
    {OfCylinder, "цилиндра {1}", "of cylinder {1}"},
    {OfCylinders, "цилиндров {1}–{2}", "of cylinders {1}–{2}"},
    {NoticeBlankTracksBeyond, "Образ {1} больше, чем вмещает программа: пустые дорожки {2} не загружены.",
     "The {1} image is larger than the program holds: the blank tracks {2} were not loaded."},
    {NoticeTracksBeyond,
     "Образ {1} больше, чем вмещает программа: дорожки {2} не загружены, на них секторов: {3}. Сохранение образа их "
     "потеряет.",
     "The {1} image is larger than the program holds: the tracks {2} were not loaded; sectors on them: {3}. Saving the "
     "image loses them."},
    {NoticeLossOnLoad, "{1}: {2}.", "{1}: {2}."},
    {LossDataCut, "данных {1} байт; загружены первые {2}", "{1} bytes of data; the first {2} were loaded"},
    {LossTooManySectors, "секторов {1}; загружены первые {2}", "{1} sectors; the first {2} were loaded"},
    {LossDeletedMarksLoaded, "секторов с меткой удалённых данных: {1}; загружены как обычные",
     "{1} sectors with a deleted-data mark; loaded as normal ones"},
    {LossCopiesBeyondSlot, "слабый сектор, копий в образе: {1}; загружены первые {2}",
     "a weak sector with {1} copies in the image; the first {2} were loaded"},
    {DskMisfitCopies, "дорожка {1}, сектор {2}: копий {3}", "track {1}, sector {2} holds {3} copies"},
    {DskMisfitSizes, "на дорожке {1} секторы разного размера", "track {1} has sectors of different sizes"},
    {DskMisfitLength, "дорожка {1}, сектор {2}: данных {3} байт из {4}",
     "track {1}, sector {2} holds {3} of its {4} bytes"},
    {DskStandardMisfit, "Стандартный DSK не вмещает диск: {1}; сохраните его как расширенный DSK.",
     "The standard DSK cannot hold the disk: {1}; save it as an extended DSK."},
    {DskStandardTracksTooLong, "Стандартный DSK не вмещает таких длинных дорожек!",
     "The standard DSK cannot hold tracks this long!"},
    {DskTrackTooLong, "DSK не вмещает дорожку {1}: {2} байт вместе с копиями слабых секторов.",
     "The DSK cannot hold track {1}: {2} bytes with the copies of its weak sectors."},
    {LossIdCrcWithDataCrc, "ошибка CRC заголовка сектора вместе с ошибкой CRC данных (формат {1} их не различает)",
     "a sector ID CRC error together with a data CRC error (the {1} format does not tell them apart)"},
    {LossCopiesNotHeld, "копий слабого сектора не целого размера или с другим состоянием CRC: {1}",
     "{1} copies of a weak sector of another size or another CRC state"},
    {CommentError, "Ошибка в комментарии файла {1}!", "Error in the {1} comment!"},
    {SectorRecordError, "Ошибка в записи сектора файла {1}!", "Error in a sector record of the {1} file!"},
    {ImdTrackTwice, "В файле IMD дорожка {1} записана дважды!", "The IMD file holds track {1} twice!"},
    {ImdCannotHold, "IMD не вмещает диск: {1}!", "IMD cannot hold the disk: {1}!"},
    {MisfitSizeCode, "на дорожке {1} секторы с кодом размера {2}", "track {1} has sectors of size code {2}"},
    {EmptyFile, "Файл {1} пуст!", "The {1} file is empty!"},
    {FdiTooManySectors, "На дорожке FDI {1} секторов {2}, а помещается не больше {3}!",
     "FDI track {1} has {2} sectors, at most {3} fit!"},
    {FdiGeometryError, "Ошибка в геометрии образа FDI!", "Error in the FDI image geometry!"},
    {HfeSideCountError, "Ошибка в числе сторон файла HFE!", "Error in the number of sides of the HFE file!"},
    {HfeNoCylinders, "Заголовок HFE не называет ни одного цилиндра: в файле нет диска!",
     "The HFE header names no cylinder: the file holds no disk!"},
    {HfeImageCut,
     "Образ HFE больше, чем вмещает программа: загружены только {1} цилиндра, по {2} байт и {3} секторов на дорожку.",
     "The HFE image is larger than the program holds: only {1} cylinders were loaded, with {2} bytes and {3} sectors "
     "per track."},
    {HfeFieldPastEnd, "поле данных выходит за конец дорожки ({1} байт из {2}); что есть, сохранено и помечено сбойным",
     "the data field runs past the end of the track ({1} of {2} bytes); what there is was kept, marked bad"},
    {Td0VersionNotSupported, "Эта версия TD0 не поддерживается!", "This TD0 version is not supported!"},
    {Td0HeaderCrcError, "Ошибка CRC заголовка TD0!", "TD0 header CRC error!"},
    {Td0OldCompression, "Старое сжатие TD0 не поддерживается!", "The old TD0 compression is not supported!"},
    {Td0BlockPastEnd, "Файл TD0 обрезан: блок данных сектора выходит за конец файла!",
     "The TD0 file is cut short: a sector's data block runs past the end of the file!"},
    {SectorSizeError, "Ошибка в размере сектора файла {1}!", "Error in a sector size of the {1} file!"},
    {FileFormatError, "Ошибка формата файла {1}!", "{1} format error!"},
    {Td0Created, "Создан: {1}", "Created: {1}"},
    {LossCommentLines, "строк комментария, не вошедших в {1} байт формата {2}: {3}",
     "{3} comment lines beyond the {1} bytes of the {2} format"},
    {FileEndsEarly, "Файл {1} кончается раньше времени!", "The {1} file ends too early!"},
    {LossLongText, "комментарий или журнал дорожки длиннее {1} строк; загружены только первые {1} строк",
     "a comment or track log longer than {1} lines; only the first {1} lines were loaded"},
    {UnsupportedFileType, "Этот тип файлов не поддерживается!", "This file type is not supported!"},
    {FormatOnlyRead, "Образы {1} можно только читать!", "{1} images can only be read!"},
    {ImageNotSaved, "Образ {1} не сохранён!", "Cannot save {1}!"},
    {LossSummary, "Образ {1} не вместит всего, что есть на диске: {2}",
     "The {1} image cannot hold all that is on the disk: {2}"},
    {LossSummaryCount, "{1} (всего потерь: {2})", "{1} ({2} losses in all)"},
    {LossRefusal, "{1}. Образ не сохранён!", "{1}. The image is not saved!"},
    {SclChecksumError, "Ошибка в контрольной сумме файла SCL!", "Error in the SCL file checksum!"},
    {SclBadSignature, "Неверная подпись файла SCL!", "Wrong SCL file signature!"},
    {SclTooManyFiles, "Файлов больше, чем вмещает каталог TR-DOS!", "More files than a TR-DOS catalog holds!"},
    {SclWrongFileSize, "Неверный размер файла {1}!", "Wrong size of the file {1}!"},
    {NoRoomOnDisk, "Нет места на образе диска!", "No room left on the disk image!"},
    {NotTrdosDisk, "Образ не является диском TR-DOS с файлами!", "The image is not a TR-DOS disk with files!"},
    {SectorErrorAt, "Ошибка сектора: дорожка {1}, сектор {2}!", "Sector error: track {1}, sector {2}!"},
    // Rescue.
    {FluxKeptOneTurn,
     "Сохранённый поток держит один оборот у {1} из {2} дорожек: в SCP из него там будет один оборот (целые обороты "
     "сохраняет velloran-cli read-disk --flux)",
     "The flux kept holds a single turn of {1} of its {2} tracks: an SCP saved from it has one revolution there "
     "(velloran-cli read-disk --flux keeps whole revolutions)"},
};

constexpr bool RowsInIdentifierOrder() {
  for (std::size_t i = 0; i < std::size(kCatalogue); ++i)
    if (kCatalogue[i].id != static_cast<MessageId>(i)) return false;
  return std::size(kCatalogue) == static_cast<std::size_t>(MessageId::Count);
}
static_assert(RowsInIdentifierOrder(), "every message identifier has one row, in the order of MessageId");

// The text of `id` in `language` with "{N}" replaced by argument(N - 1);
// an argument past `count` is left out.
template <typename ArgumentText>
std::string Substitute(Language language, MessageId id, std::size_t count, const ArgumentText& argument) {
  const CatalogueEntry& entry = kCatalogue[static_cast<std::size_t>(id)];
  const std::string_view text = language == Language::Russian ? entry.russian : entry.english;
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t close = text.find('}', i);
    if (text[i] == '{' && close != std::string_view::npos && close - i == 2 && text[i + 1] >= '1' &&
        text[i + 1] <= '9') {
      const auto index = static_cast<std::size_t>(text[i + 1] - '1');
      if (index < count) result += argument(index);
      i = close;
      continue;
    }
    result += text[i];
  }
  return result;
}

}  // namespace

std::span<const CatalogueEntry> MessageCatalogue() { return kCatalogue; }

PhraseArgument::PhraseArgument(Phrase inner) : phrase(std::make_shared<const Phrase>(std::move(inner))) {}

std::string RenderMessage(Language language, MessageId id, std::initializer_list<std::string_view> arguments) {
  return Substitute(language, id, arguments.size(),
                    [&](std::size_t index) { return std::string(*(arguments.begin() + index)); });
}

std::string RenderPhrase(Language language, const Phrase& phrase) {
  if (phrase.Empty()) return {};
  return Substitute(language, phrase.id, phrase.arguments.size(), [&](std::size_t index) {
    const PhraseArgument& argument = phrase.arguments[index];
    return argument.phrase ? RenderPhrase(language, *argument.phrase) : argument.text;
  });
}

std::string PhraseText(const Phrase& phrase) { return RenderPhrase(ProcessLanguage(), phrase); }

std::string MessageText(MessageId id, std::initializer_list<std::string_view> arguments) {
  return RenderMessage(ProcessLanguage(), id, arguments);
}

}  // namespace velloran
