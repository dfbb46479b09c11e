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
    // Disk operations, drives and merging.
    {AtTrackOfDrive, "(дорожка {1})", "(track {1})"},
    {AtTrackSectorOfDrive, "(дорожка {1}, сектор {2})", "(track {1}, sector {2})"},
    {OperationStarted, "Начало операции!", "The operation has started."},
    {OperationCancelled, "Операция отменена пользователем!", "The operation was cancelled by the user."},
    {OperationCompleted, "Операция выполнена!", "The operation is complete."},
    {OperationTooManyTracks, "Число дорожек превышает 166...", "More than 166 tracks..."},
    {OperationFirstAfterLast, "Начальная дорожка больше конечной...", "The first track is after the last one..."},
    {OperationRangeBeyondImage,
     "Конечная дорожка превышает число дорожек в образе!\nБудет обработано число существующих дорожек!",
     "The last track is beyond the tracks of the image!\nOnly the tracks that exist will be processed!"},
    {OperationScanTracks, "Сканирование дорожек диска", "Scanning the disk's tracks"},
    {OperationReadSectors, "Посекторное чтение диска", "Reading the disk sector by sector"},
    {OperationScanAndRead, "Сканирование с посекторным чтением", "Scanning and reading sector by sector"},
    {OperationFastRead, "Быстрое чтение диска", "Fast reading of the disk"},
    {OperationFormat, "Форматирование диска", "Formatting the disk"},
    {OperationWrite, "Запись диска", "Writing the disk"},
    {OperationFormatAndWrite, "Формат и запись диска", "Formatting and writing the disk"},
    {TracksNotRead, "Не прочитаны дорожки - с {1} по {2}", "Tracks {1} to {2} were not read"},
    {BadSectorCount, "Сбойных секторов - {1}", "Bad sectors: {1}"},
    {RecoveredOnRereadCount, "Восстановлено при повторном чтении - {1}", "Recovered on a re-read: {1}"},
    {ControllerResetFailed, "Ошибка сброса контроллера - ({1})!", "Controller reset error ({1})!"},
    {SeekFailed, "Ошибка позиционирования - ({1})!", "Seek error ({1})!"},
    {TrackZeroReadFailed, "Ошибка - {1} при чтении 0 дорожки!", "Error {1} reading track 0!"},
    {DriveDiskNotTrdos, "Диск не соответствует формату TR-DOS!", "The disk is not in the TR-DOS format!"},
    {TrackScanStarted, "Начало сканирования дорожки.", "Track scan started."},
    {TrackScanStartedAt, "Начало сканирования дорожки - {1}", "Scanning track {1}"},
    {TrackScanFailed, "Ошибка сканирования - {1} {2}", "Scan error {1} {2}"},
    {ScanDataReceived, "Данные приняты - {1} байт", "Data received: {1} bytes"},
    {TrackScanned, "Дорожка просканирована. Найдено секторов: {1}.", "Track scanned: {1} sectors found."},
    {LayoutFromPreviousTrack, "Разметка взята с предыдущей дорожки. Найдено секторов: {1}.",
     "Layout taken from the previous track: {1} sectors found."},
    {LayoutFromPreviousTrackAt, "Разметка по предыдущей дорожке - {1}", "Track {1} laid out like the previous track"},
    {SectorLengthMismatch, "Длина сектора - {1} байт не равна количеству считанных байтов - {2}",
     "The sector length, {1} bytes, differs from the {2} bytes read"},
    {SectorReadFailed, "Ошибка чтения сектора - {1} {2}", "Sector read error {1} {2}"},
    {SectorReadOnReread, "Сектор прочитан при повторном чтении - попытка {1} {2}",
     "Sector read on a re-read, attempt {1} {2}"},
    {RereadingBadSectors, "Повторное чтение сбойных секторов - попытка {1}", "Re-reading the bad sectors, attempt {1}"},
    {TrackReadFailed, "Ошибка чтения дорожки - {1} {2}", "Track read error: {1} {2}"},
    {TrackReadOnReread, "Дорожка прочитана при повторном чтении - попытка {1} {2}",
     "Track read on a re-read, attempt {1} {2}"},
    {TrackNotRead, "Дорожка {1} не прочитана", "Track {1} was not read"},
    {SectorNotRead, "Сектор не прочитан {1}", "Sector not read {1}"},
    {TrackFormatFailed, "Ошибка форматирования - {1} {2}", "Format error {1} {2}"},
    {SectorWriteFailed, "Ошибка записи сектора - {1} {2}", "Sector write error {1} {2}"},
    {TrackEraseFailed, "Ошибка стирания дорожки - {1} {2}", "Track erase error: {1} {2}"},
    {TrackBuildFailedAt, "Ошибка построения дорожки - сектор {1} {2}", "Cannot build the track at sector {1} {2}"},
    {TrackWriteFailed, "Ошибка записи дорожки - {1} {2}", "Track write error: {1} {2}"},
    {TrackVerifyFailed, "Ошибка проверки дорожки - {1} {2}", "Track verify error: {1} {2}"},
    {SectorVerifyFailed, "Ошибка проверки сектора {1}", "Sector verify error {1}"},
    {DriveNotFound, "Дисковод {1} не найден!", "Drive {1} not found!"},
    {DataRateFailed, "Ошибка установки скорости передачи!", "Cannot set the data rate!"},
    {DriverLoadFailed, "Ошибка загрузки драйвера!", "Cannot load the driver!"},
    {DriverVersionFailed, "Ошибка определения версии драйвера!", "Cannot learn the driver's version!"},
    {DriverVersionNotSupported, "Версия драйвера не поддерживается!", "This driver version is not supported!"},
    {FdcInfoFailed, "Ошибка получения информации о контроллере FDC!", "Cannot get the FDC controller's information!"},
    {StatusDriverLoadError, "Ошибка загрузки драйвера", "Driver load error"},
    {StatusDriverNotAllowed, "Версия драйвера - не поддерживается", "Driver version - not supported"},
    {StatusDriverVersion, "Версия драйвера - {1}", "Driver version - {1}"},
    {StatusWithFdcType, "{1} / Тип FDC - {2}", "{1} / FDC type - {2}"},
    {StatusWithFdcInfoError, "{1} / ошибка чтения информации FDC", "{1} / FDC info read error"},
    {StatusFluxDriveNotConnected, "{1} - не подключён", "{1} - not connected"},
    {StatusFluxDrive, "{1} - прошивка {2}", "{1} - firmware {2}"},
    {DriveCannotBeUsed, "дисковод не может быть использован", "the drive cannot be used"},
    {LinuxNoRawCommands,
     "Ядро Linux собрано без прямых команд контроллера дисковода (FDRAWCMD). Начиная с версии 5.18 они есть только в "
     "ядре, собранном с параметром CONFIG_BLK_DEV_FD_RAWCMD=y: включите его, пересоберите модуль floppy и загрузите "
     "его заново.",
     "The Linux kernel was built without the floppy controller's raw commands (FDRAWCMD). Since version 5.18 only a "
     "kernel built with CONFIG_BLK_DEV_FD_RAWCMD=y has them: enable it, rebuild the floppy module and load it again."},
    {LinuxFloppyDeviceMissing,
     "Устройство {1} не найдено: загрузите модуль ядра floppy (modprobe floppy) и проверьте, что дисковод включён в "
     "настройках BIOS.",
     "Device {1} not found: load the floppy kernel module (modprobe floppy) and check that the drive is enabled in the "
     "BIOS settings."},
    {LinuxFloppyNoAccess, "Нет доступа к {1}: нужны права на чтение и запись этого устройства (группа disk).",
     "No access to {1}: reading and writing that device needs permission (the disk group)."},
    {SerialPortOpenFailed, "Не удалось открыть {1} - {2}", "Cannot open {1}: {2}"},
    {SerialPortOpenFailedDialout, "Не удалось открыть {1} - {2} (добавьте пользователя в группу dialout)",
     "Cannot open {1}: {2} (add the user to the dialout group)"},
    {NotSerialPort, "{1} - не последовательный порт: {2}", "{1} is not a serial port: {2}"},
    {GreaseweazleLinkError, "Ошибка связи с Greaseweazle - {1}!", "Greaseweazle link error: {1}!"},
    {GreaseweazleNoAnswer, "Greaseweazle не отвечает!", "The Greaseweazle does not answer!"},
    {GreaseweazleWrongReply, "Ошибка Greaseweazle - неверный ответ на команду {1}!",
     "Greaseweazle error: a wrong answer to command {1}!"},
    {GreaseweazleNotConnected, "Greaseweazle не подключён!", "The Greaseweazle is not connected!"},
    {GreaseweazleNotFound, "Greaseweazle не найден: подключите его к порту USB!",
     "No Greaseweazle found: connect it to a USB port!"},
    {GreaseweazleOldFirmware,
     "Версия прошивки Greaseweazle {1} не поддерживается: обновите прошивку до 0.31 или новее!",
     "Greaseweazle firmware {1} is not supported: update the firmware to 0.31 or later!"},
    {GreaseweazleUpdateMode, "Greaseweazle в режиме обновления прошивки: переподключите его!",
     "The Greaseweazle is in firmware update mode: reconnect it!"},
    {GreaseweazleNoSampleFrequency, "Greaseweazle не сообщил частоту отсчётов!",
     "The Greaseweazle did not tell its sample frequency!"},
    {GreaseweazleStreamTooLong, "Ошибка Greaseweazle - поток слишком длинный!",
     "Greaseweazle error: the stream is too long!"},
    {GreaseweazleStreamCorrupt, "Ошибка Greaseweazle - искажённый поток данных!",
     "Greaseweazle error: a corrupt data stream!"},
    {GreaseweazleDone, "Greaseweazle - выполнено", "Greaseweazle: done"},
    {GreaseweazleFailed, "Ошибка Greaseweazle - {1} (код {2})!", "Greaseweazle error: {1} (code {2})!"},
    {GreaseweazleBadCommand, "неизвестная команда", "unknown command"},
    {GreaseweazleNoIndex, "нет индексного импульса (нет диска в дисководе?)", "no index pulse (no disk in the drive?)"},
    {GreaseweazleNoTrack0, "дорожка 0 не найдена", "track 0 not found"},
    {GreaseweazleFluxOverflow, "переполнение потока при чтении", "flux overflow while reading"},
    {GreaseweazleFluxUnderflow, "поток не успевает при записи", "flux underflow while writing"},
    {GreaseweazleWriteProtected, "диск защищён от записи", "the disk is write-protected"},
    {GreaseweazleNoUnit, "дисковод не выбран", "no drive selected"},
    {GreaseweazleNoBus, "не задан тип шины дисковода", "the drive bus type is not set"},
    {GreaseweazleBadUnit, "неверный номер дисковода", "a wrong drive number"},
    {GreaseweazleBadPin, "неверный номер вывода", "a wrong pin number"},
    {GreaseweazleBadCylinder, "неверный номер цилиндра", "a wrong cylinder number"},
    {GreaseweazleOutOfSram, "не хватает памяти SRAM", "out of SRAM"},
    {GreaseweazleOutOfFlash, "не хватает флэш-памяти", "out of flash memory"},
    {GreaseweazleUnknownAck, "неизвестный код ответа", "an unknown reply code"},
    {FluxSectorsBeyondSlots, "Дорожка {1}: секторов за пределами 20 ячеек, не вошедших в образ: {2}",
     "Track {1}: {2} sectors beyond the 20 slots are left out"},
    {FluxCopiesConflict, "Дорожка {1}, сектор {2}: хорошие копии различаются (конфликт), сохранено копий: {3}",
     "Track {1}, sector {2}: good copies differ (conflict), {3} copies kept"},
    {FluxWeakCopies, "Дорожка {1}, сектор {2}: нестабильный, сохранено копий: {3}",
     "Track {1}, sector {2}: weak, {3} copies kept"},
    {FluxDiffersBetweenRevolutions, "Дорожка {1}, сектор {2}: различается между оборотами (нестабильный или повреждён)",
     "Track {1}, sector {2}: differs between revolutions (weak or damaged)"},
    {FluxDataCrcEveryRevolution, "Дорожка {1}, сектор {2}: ошибка CRC данных в каждом обороте",
     "Track {1}, sector {2}: data CRC error in every revolution"},
    {FluxDataCrc, "Дорожка {1}, сектор {2}: ошибка CRC данных", "Track {1}, sector {2}: data CRC error"},
    {FluxVariantRead, "Дорожка {1}: {2} прочитали секторы {3}", "Track {1}: {2} read sectors {3}"},
    {FluxVariantSettings, "петля {1} %, такт {2} %", "loop {1} %, clock {2} %"},
    {FluxVariantSettingsWithPhase, "петля {1} %, такт {2} %, фаза {3} %", "loop {1} %, clock {2} %, phase {3} %"},
    {MergeRecoveredFrom, "Дорожка {1}: из {2} - секторы {3}", "Track {1}: sectors {3} from {2}"},
    {MergeStillBad, "Дорожка {1}: сбойные секторы - {2}", "Track {1}: bad sectors {2}"},
    {MergeConflict, "Дорожка {1} / Сектор {2}: хорошие копии различаются - {3} и {4}; взята копия из {3}",
     "Track {1}, sector {2}: good copies differ between {3} and {4}; the copy of {3} was taken"},
    {MergeRecoveredCount, "Восстановлено секторов - {1}", "Sectors recovered: {1}"},
    {MergeVotedCount, "Восстановлено голосованием по байтам - {1}", "Recovered by a byte vote: {1}"},
    {MergeConflictCount, "Расхождений - {1}", "Conflicts: {1}"},
    {ProgressAtTrack, "Дорожка - {1}", "Track {1}"},
    {ReadingCancelledBeforeTrack, "чтение отменено до первой прочитанной дорожки; ничего не сохранено",
     "the reading was cancelled before a track was read; nothing is saved"},
    {ReadingCancelledImageKept, "чтение отменено; {1} оставлен как был",
     "the reading was cancelled; {1} is left as it was"},
    {ReadingCancelledTracksSaved, "чтение отменено; в {1} дорожки, прочитанные до отмены",
     "the reading was cancelled; {1} holds the tracks read before"},
    {DiskAsReadKept, "прочитанный диск сохранён в {1}", "the disk as read is kept in {1}"},
    {DiskAsReadNotKept, "прочитанный диск не удалось сохранить и там: {1}",
     "the disk as read cannot be kept either: {1}"},
    {FluxSavedAsScp, "{1}: --flux сохраняет файлы SCP (.scp)", "{1}: --flux saves SCP files (.scp)"},
    {DriveGaveNoFlux, "--flux: дисковод не выдал поток (он не читает поток)",
     "--flux: the drive gave no flux (not a flux drive)"},
    {NothingToWrite, "нечего записывать", "nothing to write"},
    {FluxWayAtRate, "{1} кбит/с, {2}", "{1} kbit/s, {2}"},
    // Rescue.
    {FluxKeptOneTurn,
     "Сохранённый поток держит один оборот у {1} из {2} дорожек: в SCP из него там будет один оборот (целые обороты "
     "сохраняет velloran-cli read-disk --flux)",
     "The flux kept holds a single turn of {1} of its {2} tracks: an SCP saved from it has one revolution there "
     "(velloran-cli read-disk --flux keeps whole revolutions)"},
    // Catalog operations and listings.
    {CatalogErrorCaption, "Ошибка..!", "Error!"},
    {CatalogAttentionCaption, "Внимание..!", "Attention!"},
    {DialogAccept, "&Принять", "&Accept"},
    {DialogCancel, "&Отменить", "&Cancel"},
    {TrdosDeleteQuestion, "Вы действительно хотите удалить выбранные файлы?",
     "Do you really want to delete the selected files?"},
    {TrdosRestoreCaption, "Восстановление файла", "Restoring a file"},
    {TrdosRestoreText, "Для восстановления файла необходимо указать первую букву его имени!",
     "To restore the file, give the first letter of its name!"},
    {TrdosRestoreLabel, "Задайте букву:", "Letter:"},
    {TrdosRenameCaption, "Имя диска", "Disk name"},
    {TrdosRenameText, "Задайте имя диска (не больше 8 символов)", "Enter the disk name (8 characters at most)"},
    {TrdosRenameLabel, "Имя:", "Name:"},
    {TrdosCompactQuestion,
     "Данная процедура может повредить структуру образа диска!\rСохраняйте образ под другим именем!\rВы действительно "
     "хотите уплотнить образ?",
     "This may damage the structure of the disk image!\rSave the image under another name!\rDo you really want to "
     "compact the image?"},
    {TrdosNoFilesSelected, "Файлы для сохранения не выбраны!", "No files are selected for saving!"},
    {FileExistsOverwrite, "Файл {1} уже существует! Перезаписать?", "The file {1} already exists! Overwrite it?"},
    {FileSavedWithBadSectors, "Файл {1} сохранён со сбойными секторами:", "The file {1} was saved with bad sectors:"},
    {SectorNoDataZeros, "нет данных, записаны нули", "no data, written as zeros"},
    {TrdosFileOnDisk, "Файл с именем {1} в образе уже существует!", "A file named {1} is already on the image!"},
    {TrdosCannotStoreFile, "Ошибка добавления файла {1} в образ!", "Cannot add the file {1} to the image!"},
    {TrdosFileTooSmall, "Размер файла {1} слишком мал!", "The file {1} is too small!"},
    {TrdosCatalogFull, "Каталог диска заполнен!", "The disk catalog is full!"},
    {FileWrongChecksum, "Неверная контрольная сумма файла {1}!", "Wrong checksum of the file {1}!"},
    {FileWrongSignature, "Неверная подпись файла {1}!", "Wrong signature of the file {1}!"},
    {FileWrongLength, "Ошибка в длине файла {1}!", "Wrong length of the file {1}!"},
    {NotStandardTrdosDisk, "Образ не соответствует стандартному диску TR-DOS!",
     "The image is not a standard TR-DOS disk!"},
    {TrdosEightyTracks, "80 дорожек", "80 tracks"},
    {TrdosFortyTracks, "40 дорожек", "40 tracks"},
    {TrdosTracksUnknown, "Не определено", "Unknown"},
    {CpmDirectoryError, "Ошибка в каталоге CP/M!", "Error in the CP/M directory!"},
    {NotCpmDisk, "Образ не соответствует диску CP/M!", "The image is not a CP/M disk!"},
    {CpmFromBootRecord, "{1}, по записи загрузочного сектора", "{1}, from the boot sector record"},
    {CpmDefinitionDetails,
     "{1} (сторон {2}, дорожек на сторону {3}, секторов {4} × {5}, блок {6}, записей каталога {7}, системных дорожек "
     "{8})",
     "{1} (sides {2}, tracks per side {3}, sectors {4} × {5}, block {6}, directory entries {7}, system tracks {8})"},
    {ColumnFilename, "Имя файла", "Filename"},
    {ColumnType, "Тип", "Type"},
    {ColumnStart, "Старт", "Start"},
    {ColumnLength, "Длина", "Length"},
    {ColumnSectors, "Секторов", "Sectors"},
    {ColumnSector, "Сектор", "Sector"},
    {ColumnTrack, "Дорожка", "Track"},
    {ColumnUser, "Пользователь", "User"},
    {ColumnExtent, "Экстент", "Extent"},
    {ColumnGood, "Хороших", "Good"},
    {ColumnBad, "Сбойных", "Bad"},
    {ColumnNoData, "Без данных", "NoData"},
    {ColumnIdCrc, "Ошибок ID", "IdCRC"},
    {ColumnRaw, "Сырые", "Raw"},
    {ColumnCopies, "Копий", "Copies"},
    {Yes, "да", "yes"},
    {No, "нет", "no"},
    {ListingDiskLabel, "Название дискеты: {1}", "Disk label: {1}"},
    {ListingDiskType, "Тип дискеты: {1}", "Disk type: {1}"},
    {ListingFirstFreeSector, "Свободный сектор: {1}", "First free sector: {1}"},
    {ListingFirstFreeTrack, "Свободная дорожка: {1}", "First free track: {1}"},
    {ListingFreeSectors, "Свободных секторов: {1}", "Free sectors: {1}"},
    {ListingFiles, "Количество файлов: {1}", "Files: {1}"},
    {ListingDeletedFiles, "Удалённых файлов: {1}", "Deleted files: {1}"},
    {ListingCpmFormat, "Формат: {1}", "Format: {1}"},
    {ListingUsed, "Занято: {1} КБ", "Used: {1} KB"},
    {ListingFree, "Свободно: {1} КБ", "Free: {1} KB"},
    {InfoImage, "Образ: {1}", "Image: {1}"},
    {InfoFormat, "Формат: {1} ({2}), опознан по {3}", "Format: {1} ({2}), found by its {3}"},
    {FoundByExtension, "расширению", "extension"},
    {FoundBySignature, "подписи", "signature"},
    {FoundByContents, "содержимому", "contents"},
    {FoundBySize, "размеру", "size"},
    {InfoPresentTracks, "Дорожек: {1}", "Present tracks: {1}"},
    {InfoNote, "Заметка: {1}", "Note: {1}"},
    {InfoComment, "Комментарий: {1}", "Comment: {1}"},
    {InfoLostOnLoading, "Потеряно при загрузке: {1}", "Lost on loading: {1}"},
    {InfoContentHash, "SHA-256 содержимого: {1}", "Content SHA-256: {1}"},
    {InfoHobetaFormat, "Формат: Hobeta (один файл TR-DOS за 17-байтовым заголовком)",
     "Format: Hobeta (one TR-DOS file behind a 17-byte header)"},
    {InfoName, "Имя: {1}", "Name: {1}"},
    {InfoType, "Тип: {1}", "Type: {1}"},
    {InfoStart, "Старт: {1}", "Start: {1}"},
    {InfoLength, "Длина: {1}", "Length: {1}"},
    {InfoSectors, "Секторов: {1}", "Sectors: {1}"},
    {InfoChecksumGood, "Контрольная сумма: верна ({1})", "Checksum: good ({1})"},
    {InfoChecksumBad, "Контрольная сумма: неверна (записана {1}, вычислена {2})",
     "Checksum: bad (stored {1}, computed {2})"},
    {InfoDataBytes, "Данные: {1} байт", "Data: {1} bytes"},
    {InfoDataExpected, "Данные: {1} байт (ожидалось {2})", "Data: {1} bytes ({2} expected)"},
    {CliImageLocked, "{1}: образ изменяет другая команда; ожидание её завершения",
     "{1}: another command is changing the image; waiting for it"},
    {CliLossySavesAnyway, "с --lossy образ будет сохранён, а всё потерянное перечислено",
     "--lossy saves it anyway and lists what is lost"},
    {PtyNotCreated, "Не удалось создать псевдотерминал: {1}", "Cannot create a pseudo-terminal: {1}"},
    {PtyNotOpened, "Не удалось открыть псевдотерминал: {1}", "Cannot open the pseudo-terminal: {1}"},
    {PtyNotOnWindows, "Имитация Greaseweazle в Windows недоступна: нужен псевдотерминал.",
     "The simulated Greaseweazle is not available on Windows: it needs a pseudo-terminal."},
    {ColumnKey, "Ключ", "Key"},
    {ColumnFile, "Файл", "File"},
    {ColumnFormat, "Формат", "Format"},
    {ColumnHolds, "Хранит", "Holds"},
    {HoldsIds, "ID-поля", "IDs"},
    {HoldsCrcState, "состояние CRC", "CRC state"},
    {HoldsMissingData, "секторы без данных", "sectors without data"},
    {HoldsIdCrcState, "состояние CRC ID-полей", "ID CRC state"},
    {HoldsDeletedMarks, "метки удалённых данных", "deleted marks"},
    {HoldsCopies, "копии секторов", "sector copies"},
    {HoldsRawTracks, "сырые дорожки", "raw tracks"},
    {HoldsComments, "комментарии", "comments"},
    {HoldsRecording, "скорость и FM", "data rate and FM"},
    {HoldsFluxAll, "поток, все обороты", "flux, all revolutions"},
    {HoldsFluxFirst, "поток, первый оборот", "flux, first revolution"},
    {HoldsOnlyFiles, "только файлы каталога", "only the catalog's files"},
    {HoldsDataOnly, "только данные", "data only"},
    {HoldsReadOnly, "{1}; только чтение", "{1}; read only"},
    {PlotNoSampleClock, "дорожка {1}: у её потока нет частоты выборки, поэтому у интервалов нет длины",
     "track {1}: its flux has no sample clock, so no interval has a length"},
    {PlotTrackAbsent, "дорожки {1} нет в образе", "track {1} is not part of the image"},
    {PlotNoFlux, "у дорожки {1} нет потока: образ хранит секторы, а не запись потока (SCP, MFI, KryoFlux)",
     "track {1} has no flux: the image holds sectors, not a flux capture (SCP, MFI, KryoFlux stream)"},
    {PlotKinds, "--kind принимает histogram, timing или disk", "--kind is histogram, timing or disk"},
    {SimulatedTime, "время имитации: {1} с, оборотов: {2}", "simulated time: {1} s, {2} revolutions"},
    {SimulatedFluxTime, "время имитации: {1} с, оборотов: {2}, прочитано оборотов: {3} за {4} чтений потока",
     "simulated time: {1} s, {2} revolutions, {3} revolutions read in {4} flux reads"},
    // Help, drive syntax and format names.
    {CliDriveHelp,
     R"(Команды дисковода:
  read-disk OUT [--fast] [--drive D] [--first T] [--last T] [--retries N]
                [--revs R] [--flux FILE.scp] [--report FILE.json]
      сканирует и читает дорожки T..T (по умолчанию 0..159) в образ OUT; с
      --fast каждая дорожка читается примерно за один оборот диска, а
      непрочитанные секторы читаются снова после прохода (всего N проходов).
      Greaseweazle читает каждую дорожку за один оборот, с --flux за R
      оборотов (по умолчанию 2), снова читает дорожки со сбойными секторами
      (R оборотов, всего N проходов; каждый сектор сохраняет свою первую
      верную копию), а с --flux ещё и сохраняет каждый прочитанный оборот
      в FILE.scp;
      дорожка, на которой остался сбойный сектор, декодируется снова с
      другими настройками петли и скоростями, и каждое такое чтение
      записывается в журнал. --report записывает в JSON состояние каждого
      сектора, его копии, попытки и способ, которым он прочитан, SHA-256
      диска и дорожки, оставшиеся сбойными
  write-disk IMAGE [--format] [--verify] [--drive D] [--first T] [--last T]
                [--retries N] [--revs R]
      записывает образ на диск (с --format сначала форматирует каждую
      дорожку; Greaseweazle всегда записывает дорожки целиком, то есть
      форматирует их, а с --verify читает каждую обратно и сравнивает)
N: число попыток на сектор (по умолчанию 10; 0 считается как 1).
  catalog [--drive D]
      показывает каталог TR-DOS диска в дисководе
)",
     R"(Drive commands:
  read-disk OUT [--fast] [--drive D] [--first T] [--last T] [--retries N]
                [--revs R] [--flux FILE.scp] [--report FILE.json]
      scans and reads tracks T..T (default 0..159) into the image OUT; with
      --fast each track in about one turn of the disk, and the sectors that
      failed are read again after the pass (N passes in all). A Greaseweazle
      reads each track in one turn, R revolutions (default 2) with --flux,
      reads the tracks with bad sectors again (R revolutions, N passes in
      all; each sector keeps its first good copy) and with --flux also
      saves every revolution read as FILE.scp;
      a track left with a bad sector is decoded again with other loop
      settings and data rates, each such read logged. --report writes each
      sector's state, copies, attempts and the way that read it, the disk's
      SHA-256 and the tracks still bad as JSON
  write-disk IMAGE [--format] [--verify] [--drive D] [--first T] [--last T]
                [--retries N] [--revs R]
      writes the image onto the disk (formatting each track first with
      --format; a Greaseweazle always writes whole tracks, which formats
      them, and with --verify reads each one back and compares it)
N is the number of attempts per sector (default 10; 0 counts as 1).
  catalog [--drive D]
      lists the TR-DOS catalog of the disk in the drive
)"},
    {CliDriveKindsTitle, "D (по умолчанию A):", "D is (default A):"},
    {CliDriveOptionsHelp,
     R"(Дисковод потока принимает ?drive=U: U это A, B (дисководы PC), DS0, DS1 или
DS2 (дисководы Shugart). Переменная окружения VELLORAN_DRIVE задаёт D, когда
--drive не указан.
Имитируемый дисковод содержит IMAGE (любой поддерживаемый образ; пусто: чистый
диск) и сообщает время имитации. Его параметры:
  nodisk            в дисководе нет диска
  protect           диск защищён от записи
  nodriver          драйвер дисковода не установлен
  drives=A          буквы имеющихся дисководов (по умолчанию AB)
  seekfail=C        позиционирование на цилиндр C не удаётся
  bad=T:R[,T:R]     сектор R дорожки T никогда не читается
  flaky=T:R:K[,..]  сектор R дорожки T не читается первые K раз
  errors=P          каждое чтение сектора не удаётся с вероятностью P (0..1)
  seed=N            начальное число этих случайных сбоев
  cylinders=N       сколько цилиндров достаёт дисковод (по умолчанию 83)
  save=FILE         после работы сохранить имитируемый диск в FILE
Имитируемый Greaseweazle принимает nodisk, protect, seed, cylinders, save и
drive= как выше, а также:
  noindex           дисковод не даёт индексных импульсов
  jitter=NS         каждый переход потока сдвигается до NS наносекунд
  weak=T:R[,T:R]    сектор R дорожки T читается по-разному на каждом обороте
                    и верен лишь изредка
  bad=T:R[,T:R]     у сектора R дорожки T ошибка CRC данных на каждом обороте
  overflow=K        первые K чтений каждой дорожки кончаются переполнением потока
  noise=K           каждый K-й ответ приходит после лишнего байта (K >= 2)
  firmware=M.N      версия прошивки, которую сообщает устройство (по умолчанию 1.5)
Ctrl+C отменяет идущее чтение или запись на следующей дорожке; мотор
Greaseweazle останавливается, а его дисковод отключается. Отменённый read-disk
сохраняет уже прочитанные дорожки в OUT (в OUT.udf, когда OUT уже есть), их
поток с --flux (в FILE.scp.scp, когда FILE.scp есть) и отчёт, и завершается с
кодом 1. read-disk завершается с кодом 2, когда образ сохранён, но некоторые
секторы не прочитаны, или когда сбой позиционирования остановил чтение раньше
(прочитанное сохранено); write-disk завершается с кодом 2, когда некоторые
секторы не отформатированы или не записаны. Когда OUT не может хранить всё
прочитанное, диск как он прочитан сохраняется в OUT.udf.
)",
     R"(A flux drive takes ?drive=U: U is A, B (PC drives), DS0, DS1 or DS2 (Shugart
drives). The environment variable VELLORAN_DRIVE gives D when --drive is missing.
The simulated drive holds IMAGE (any supported image; empty: a blank disk)
and reports the simulated time. Its options:
  nodisk            no disk in the drive
  protect           the disk is write-protected
  nodriver          the floppy driver is not installed
  drives=A          the drive letters that exist (default AB)
  seekfail=C        a seek to cylinder C fails
  bad=T:R[,T:R]     sector R of track T always fails to read
  flaky=T:R:K[,..]  sector R of track T fails its first K reads
  errors=P          every sector read fails with chance P (0..1)
  seed=N            seed of those random failures
  cylinders=N       cylinders the drive reaches (default 83)
  save=FILE         save the simulated disk to FILE afterwards
The simulated Greaseweazle takes nodisk, protect, seed, cylinders, save and
drive= as above, and:
  noindex           the drive gives no index pulses
  jitter=NS         every flux transition moves by up to NS nanoseconds
  weak=T:R[,T:R]    sector R of track T reads differently in each revolution
                    and holds only now and then
  bad=T:R[,T:R]     sector R of track T has a bad data CRC in every revolution
  overflow=K        the first K reads of every track end in flux overflow
  noise=K           every Kth answer comes after a stray byte (K >= 2)
  firmware=M.N      the firmware version the device tells (default 1.5)
Ctrl+C cancels a running read or write at the next track; a Greaseweazle's
motor is stopped and its drive deselected. A cancelled read-disk saves the
tracks read so far into OUT (OUT.udf when OUT is there already), their flux
with --flux (FILE.scp.scp when FILE.scp is there) and the report, and exits
with 1. read-disk exits with 2 when the image was saved but some sectors could
not be read, or when a seek failure stopped it early (what was read is saved);
write-disk exits with 2 when some sectors could not be formatted or written.
When OUT cannot hold what was read, the disk as read is kept in OUT.udf.
)"},
    {CliReadDiskHelpHint, "(--help: дисководы)", "(--help: drives)"},
    {CliNumberRange, "{1} ждёт число от {2} до {3}", "{1} needs a number from {2} to {3}"},
    {DriveKindController, "первый или второй дисковод компьютера", "the platform's first or second floppy drive"},
    {DriveKindSimulatedController, "имитируемый дисковод контроллера с образом IMAGE",
     "the simulated controller drive holding IMAGE"},
    {DriveKindGreaseweazle, "Greaseweazle: первый найденный или DEVICE",
     "a Greaseweazle: the first one found, or DEVICE"},
    {DriveKindSimulatedGreaseweazle, "имитируемый Greaseweazle с образом IMAGE",
     "the simulated Greaseweazle holding IMAGE"},
    {DriveBadSectorList, "неверный список секторов «{1}» (ожидается {2}, ...)",
     "bad sector list '{1}' (expected {2}, ...)"},
    {DriveBadErrorRate, "неверная доля ошибок «{1}» (ожидается 0..1)", "bad error rate '{1}' (expected 0..1)"},
    {DriveBadOption, "неизвестный или неверный параметр дисковода «{1}»", "unknown or bad drive option '{1}'"},
    {DriveUnknown, "неизвестный дисковод «{1}» (ожидается {2})", "unknown drive '{1}' (expected {2})"},
    {DriveSyntaxLastOr, "{1} или {2}", "{1} or {2}"},
    {FileReplacedRepeatedly, "файл снова и снова заменяется", "the file is replaced again and again"},
    {PlotFileKindNeeded, "{1}: график записывается в .svg или .png", "{1}: a plot is written as .svg or .png"},
    {InstanceChannelNotOpened, "канал для повторных запусков не открыт; они откроют своё окно",
     "cannot open the channel for second starts; they will open their own window"},
    {EnglishTranslationMissing, "английский перевод (velloran_en.qm) не установлен; тексты остаются русскими",
     "the English translation (velloran_en.qm) is not installed; the texts stay Russian"},
    {QtRussianTranslationMissing,
     "русский перевод Qt (qtbase_ru) не установлен; стандартные кнопки остаются английскими",
     "Qt's Russian translation (qtbase_ru) is not installed; standard buttons stay English"},
    {TrdosFreeSector, "Свободный сектор!", "Free sector!"},
    {PngEmptyPicture, "пустой рисунок нельзя записать в PNG", "an empty picture cannot be written as PNG"},
    {PngNotStarted, "libpng не запустилась", "libpng could not start"},
    {PngNotEncoded, "libpng не смогла закодировать рисунок", "libpng could not encode the picture"},
    {PngNotBuilt, "эта сборка записывает графики только в SVG (она собрана без libpng)",
     "this build writes plots as SVG only (it was built without libpng)"},
    {PlotLegendGood, "без ошибок", "good"},
    {PlotLegendRecovered, "восстановлен", "recovered"},
    {PlotLegendBadData, "сбойные данные", "bad data"},
    {PlotLegendIdNoData, "ID без данных", "ID, no data"},
    {PlotLegendBadId, "сбойный ID", "bad ID"},
    {PlotLegendNoSectors, "нет секторов", "no sectors"},
    {PlotLegendNotInImage, "нет в образе", "not in image"},
    {PlotNoMarks, "нет меток", "no marks"},
    {PlotNoFluxHere, "нет потока", "no flux"},
    {PlotNoFluxNoSectors, "нет потока, нет секторов в сырой дорожке", "no flux, no sectors in the raw track"},
    {PlotNoFluxRawSectors, "нет потока: секторы сырой дорожки", "no flux: sectors of the raw track"},
    {PlotSide, "сторона {1}", "side {1}"},
    {PlotRawTrack, "сырая дорожка", "raw track"},
    {PlotNoIndex, "нет индекса", "no index"},
    {PlotAllRevolutions, "обороты: все {1}", "revs: all {1}"},
    {PlotRevolution, "оборот {1}/{2}", "rev {1}/{2}"},
    {PlotClockUnknown, "частота выборки неизвестна", "sample clock unknown"},
    {PlotIntervals, "интервалов {1}", "intervals {1}"},
    {PlotCell, "ячейка {1} мкс", "cell {1} \u00B5s"},
    {PlotBeyondRange, "длиннее диапазона {1}", "longer than range {1}"},
    {PlotIndex, "ИНДЕКС", "INDEX"},
    {UnitKbitPerSecond, "{1} кбит/с", "{1} kbit/s"},
    {UnitMilliseconds, "мс", "ms"},
    {UnitMicroseconds, "мкс", "\u00B5s"},
    {FormatAllImages, "Все образы дисков", "All disk images"},
    {FormatAllFiles, "Все файлы", "All files"},
    {FormatNameUdi, "Образ UDI с сырыми дорожками MFM", "UDI raw MFM track image"},
    {FormatNameTrd, "Посекторный образ диска TR-DOS", "TR-DOS sector dump"},
    {FormatNameTd0, "Образ TeleDisk, простой или сжатый", "TeleDisk image, plain or compressed"},
    {FormatNameFdi, "Образ FDI: секторы с заголовками", "FDI sector image with headers"},
    {FormatNamePro, "Посекторный образ диска CP/M Profi", "Profi CP/M sector dump"},
    {FormatNameScl, "Файлы TR-DOS с кратким каталогом", "TR-DOS files with a short catalog"},
    {FormatNameKdi, "Посекторный образ диска Корвета", "Korvet sector dump"},
    {FormatNameHfe, "Образ битовых ячеек для эмулятора дисковода HxC", "HxC floppy emulator bit-cell image"},
    {FormatNameDsk, "Образ диска CPC и Spectrum +3, расширенный или стандартный",
     "CPC/Spectrum +3 disk image, extended or standard"},
    {FormatNameImd, "Посекторный образ ImageDisk", "ImageDisk sector image"},
    {FormatNameScp, "Образ потока SuperCard Pro / Greaseweazle", "SuperCard Pro / Greaseweazle flux image"},
    {FormatNameMfi, "Образ потока MAME", "MAME flux image"},
    {FormatNameUdf, "Собственный файл Velloran со всем диском", "Velloran's own whole-disk file"},
    {FormatNameRaw, "Файлы потока KryoFlux", "KryoFlux stream files"},
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
