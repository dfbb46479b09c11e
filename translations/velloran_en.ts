<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>Prompts</name>
    <message>
        <source>Ошибка!</source>
        <translation>Error!</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Образы дисков и дискеты семейства ZX Spectrum</source>
        <translation>Floppy disks and disk images of the ZX Spectrum family</translation>
    </message>
    <message>
        <source>дисковод</source>
        <translation>drive</translation>
    </message>
    <message>
        <source>Файл образа (из нескольких открывается первый).</source>
        <translation>Image file to load (of several, the first is opened).</translation>
    </message>
    <message>
        <source>[образ...]</source>
        <translation>[image...]</translation>
    </message>
    <message>
        <source>Открывается только один образ. Не открыты:
</source>
        <translation>One image is opened at a time. Not opened:
</translation>
    </message>
    <message>
        <source>Внимание..!</source>
        <translation>Attention!</translation>
    </message>
    <message>
        <source>Дисковод: %1.</source>
        <translation>The drive: %1.</translation>
    </message>
</context>
<context>
    <name>velloran::CpmCatalogWindow</name>
    <message>
        <source>Каталог диска CP/M</source>
        <translation>CP/M disk catalog</translation>
    </message>
    <message>
        <source>Описание диска</source>
        <translation>Disk description</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Просмотр HEX</source>
        <translation>View hex</translation>
    </message>
    <message>
        <source>Просмотр текста</source>
        <translation>View text</translation>
    </message>
    <message>
        <source>Показать удаленные файлы</source>
        <translation>Show deleted files</translation>
    </message>
    <message>
        <source>Показать скрытые файлы</source>
        <translation>Show hidden files</translation>
    </message>
    <message>
        <source>Сохранить как</source>
        <translation>Save as</translation>
    </message>
    <message>
        <source>Файлы CP/M Profi (*.cpm)|*.cpm</source>
        <translation>CP/M Profi files (*.cpm)|*.cpm</translation>
    </message>
    <message>
        <source>Файл существует! Перезаписать?!</source>
        <translation>The file exists! Overwrite it?</translation>
    </message>
    <message>
        <source>Внимание!</source>
        <translation>Attention!</translation>
    </message>
    <message>
        <source>Имя файла</source>
        <translation>Filename</translation>
    </message>
    <message>
        <source>Тип</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Длина</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>Пользователь</source>
        <translation>User</translation>
    </message>
    <message>
        <source>Экстент</source>
        <translation>Extent</translation>
    </message>
    <message>
        <source>Количество файлов</source>
        <translation>Files</translation>
    </message>
    <message>
        <source>Занято</source>
        <translation>Used</translation>
    </message>
    <message>
        <source>Свободно</source>
        <translation>Free</translation>
    </message>
    <message>
        <source>Формат</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>%1 кБ</source>
        <translation>%1 KB</translation>
    </message>
</context>
<context>
    <name>velloran::DiskMap</name>
    <message>
        <source>Дорожка %1: %2</source>
        <translation>Track %1: %2</translation>
    </message>
    <message>
        <source>Дорожка %1, сектор %2: %3</source>
        <translation>Track %1, sector %2: %3</translation>
    </message>
    <message>
        <source>Дорожка с RAW образом</source>
        <translation>Track with a raw image</translation>
    </message>
    <message>
        <source>Дорожка без RAW образа</source>
        <translation>Track without a raw image</translation>
    </message>
    <message>
        <source>Дорожка убрана из образа</source>
        <translation>Track removed from the image</translation>
    </message>
    <message>
        <source>Сектор прочитан без ошибок</source>
        <translation>Sector read without errors</translation>
    </message>
    <message>
        <source>Сбойный сектор: ошибка CRC или не найден после всех попыток</source>
        <translation>Bad sector: CRC error, or not found after every attempt</translation>
    </message>
    <message>
        <source>Сектор прочитан без ошибок после сбойных попыток</source>
        <translation>Sector read without errors after failed attempts</translation>
    </message>
    <message>
        <source>Заголовок сектора без данных</source>
        <translation>Sector ID without data</translation>
    </message>
    <message>
        <source>Пустое место на дорожке</source>
        <translation>Empty place on the track</translation>
    </message>
</context>
<context>
    <name>velloran::DiskPictureView</name>
    <message>
        <source>Сохранить картину...</source>
        <translation>Save the picture...</translation>
    </message>
    <message>
        <source>Сохранить картину</source>
        <translation>Save the picture</translation>
    </message>
</context>
<context>
    <name>velloran::EntryEditor</name>
    <message>
        <source>Редактор элемента каталога</source>
        <translation>Catalog entry editor</translation>
    </message>
    <message>
        <source>Имя файла:</source>
        <translation>File name:</translation>
    </message>
    <message>
        <source>Тип файла:</source>
        <translation>File type:</translation>
    </message>
    <message>
        <source>Старт:</source>
        <translation>Start:</translation>
    </message>
    <message>
        <source>Длина:</source>
        <translation>Length:</translation>
    </message>
    <message>
        <source>Секторов:</source>
        <translation>Sectors:</translation>
    </message>
    <message>
        <source>Начальный сектор:</source>
        <translation>First sector:</translation>
    </message>
    <message>
        <source>Начальная дорожка:</source>
        <translation>First track:</translation>
    </message>
    <message>
        <source>Принять</source>
        <translation>Accept</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>velloran::FileViewer</name>
    <message>
        <source>Шрифт</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>Выделить все</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Просмотр файла в HEX виде.</source>
        <translation>The file in hex.</translation>
    </message>
    <message>
        <source>Просмотр файла в TXT виде.</source>
        <translation>The file as text.</translation>
    </message>
    <message>
        <source>Экран ZX Spectrum</source>
        <translation>ZX Spectrum screen</translation>
    </message>
</context>
<context>
    <name>velloran::MapLegend</name>
    <message>
        <source>Рамка — выбранная ячейка. Масштаб: Ctrl и колесо мыши, Ctrl+плюс, Ctrl+минус</source>
        <translation>The frame is the selected cell. Zoom: Ctrl and the mouse wheel, Ctrl+plus, Ctrl+minus</translation>
    </message>
</context>
<context>
    <name>velloran::ProgressWindow</name>
    <message>
        <source>Дорожка -</source>
        <translation>Track -</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>velloran::SectorAddressDialog</name>
    <message>
        <source>Заголовок</source>
        <translation>ID field</translation>
    </message>
    <message>
        <source>Без ошибок</source>
        <translation>No errors</translation>
    </message>
    <message>
        <source>Принять</source>
        <translation>Accept</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Дорожка -</source>
        <translation>Track -</translation>
    </message>
    <message>
        <source>Сектор -</source>
        <translation>Sector -</translation>
    </message>
    <message>
        <source>Размер -</source>
        <translation>Size -</translation>
    </message>
    <message>
        <source>Сторона -</source>
        <translation>Side -</translation>
    </message>
    <message>
        <source>CRC -</source>
        <translation>CRC -</translation>
    </message>
    <message>
        <source>%1 байт</source>
        <translation>%1 bytes</translation>
    </message>
</context>
<context>
    <name>velloran::SettingsWindow</name>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Число повторений ошибочных операций<byte value="xd"/>
без перемещения головок.</source>
        <translation>How often a failed operation is repeated
without moving the heads.</translation>
    </message>
    <message>
        <source>Число циклов повторений со сбросом<byte value="xd"/>
контроллера.</source>
        <translation>How many rounds of repeats
with a controller reset.</translation>
    </message>
    <message>
        <source>Число циклов полного чтения дорожки,<byte value="xd"/>
для более точного определения данных полей<byte value="xd"/>
и маркеров.</source>
        <translation>How many times a track is read whole,
to find its fields and marks more exactly.</translation>
    </message>
    <message>
        <source>Время ожидания ответа от контроллера.</source>
        <translation>How long to wait for the controller to answer.</translation>
    </message>
    <message>
        <source>Повторы</source>
        <translation>Retries</translation>
    </message>
    <message>
        <source>Число повторов -</source>
        <translation>Retries -</translation>
    </message>
    <message>
        <source>Число циклов -</source>
        <translation>Rounds -</translation>
    </message>
    <message>
        <source>Обрабатываемая область</source>
        <translation>Tracks to work on</translation>
    </message>
    <message>
        <source>Начальная дорожка -</source>
        <translation>First track -</translation>
    </message>
    <message>
        <source>Конечная дорожка -</source>
        <translation>Last track -</translation>
    </message>
    <message>
        <source>Полное чтение дорожки</source>
        <translation>Whole-track read</translation>
    </message>
    <message>
        <source>Таймаут</source>
        <translation>Timeout</translation>
    </message>
    <message>
        <source>Время ожидания, с -</source>
        <translation>Wait, s -</translation>
    </message>
    <message>
        <source>Образы</source>
        <translation>Images</translation>
    </message>
    <message>
        <source>Реставрировать образ дорожки</source>
        <translation>Restore the track image</translation>
    </message>
    <message>
        <source>Данные пробелов дорожки, полученные<byte value="xd"/>
при полном чтении, будут заменяться<byte value="xd"/>
стандартными значениями.</source>
        <translation>The gap bytes of a track read whole
are replaced by the standard values.</translation>
    </message>
    <message>
        <source>Сжимать TD0 образ при записи</source>
        <translation>Compress TD0 images when saving</translation>
    </message>
    <message>
        <source>Производить сжатие образа<byte value="xd"/>
при записи его в TD0 файл.</source>
        <translation>Compress the image
when it is saved as a TD0 file.</translation>
    </message>
    <message>
        <source>Преобразовывать данные дорожки</source>
        <translation>Convert the track data</translation>
    </message>
    <message>
        <source>Производить или нет реставрацию данных дорожки<byte value="xd"/>
при отображении их в правом окне.</source>
        <translation>Whether the track data is restored
when it is shown in the right pane.</translation>
    </message>
    <message>
        <source>Устанавливать длину сектора из заголовка</source>
        <translation>Take the sector length from its ID</translation>
    </message>
    <message>
        <source>При отображении данных сектора использовать<byte value="xd"/>
размер, установленный в заголовке сектора, или<byte value="xd"/>
фактически считанный размер.</source>
        <translation>Show a sector with the size its ID gives
or with the size actually read.</translation>
    </message>
    <message>
        <source>Параметры контроллера</source>
        <translation>Controller</translation>
    </message>
    <message>
        <source>Дисковод:</source>
        <translation>Drive:</translation>
    </message>
    <message>
        <source>Скорость передачи:</source>
        <translation>Data rate:</translation>
    </message>
    <message>
        <source>Начальный отступ:</source>
        <translation>Initial gap:</translation>
    </message>
    <message>
        <source>Язык программы</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Как в системе</source>
        <translation>As the system</translation>
    </message>
    <message>
        <source>Язык:</source>
        <translation>Language:</translation>
    </message>
    <message>
        <source>Принять</source>
        <translation>Accept</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>velloran::TFMain</name>
    <message>
        <source>Дорожка -</source>
        <translation>Track -</translation>
    </message>
    <message>
        <source>Сектор -</source>
        <translation>Sector -</translation>
    </message>
    <message>
        <source>Принять</source>
        <translation>Accept</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Загрузить</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>Сектор</source>
        <translation>Sector</translation>
    </message>
    <message>
        <source>Сторона -</source>
        <translation>Side -</translation>
    </message>
    <message>
        <source>Размер -</source>
        <translation>Size -</translation>
    </message>
    <message>
        <source>Журнал</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Комментарии к диску</source>
        <translation>Disk comments</translation>
    </message>
    <message>
        <source>Ошибка!</source>
        <translation>Error!</translation>
    </message>
    <message>
        <source>Использовать базовый шаблон для всех дорожек (Дорожка - %1)</source>
        <translation>Use the base template for every track (Track - %1)</translation>
    </message>
    <message>
        <source>Сектор не выбран!</source>
        <translation>No sector selected!</translation>
    </message>
    <message>
        <source>Вы действительно хотите удалить сектор?<byte value="xd"/>Последующие сектора будут сдвинуты!</source>
        <translation>Do you really want to remove the sector?
The sectors after it will move up!</translation>
    </message>
    <message>
        <source>Удаление сектора..</source>
        <translation>Removing a sector</translation>
    </message>
    <message>
        <source>Вы действительно хотите удалить данные дорожки?</source>
        <translation>Do you really want to remove the track data?</translation>
    </message>
    <message>
        <source>Очистка RAW дорожки!</source>
        <translation>Clearing the raw track!</translation>
    </message>
    <message>
        <source>Вы действительно хотите очистить образ?</source>
        <translation>Do you really want to clear the image?</translation>
    </message>
    <message>
        <source>Очистка образа..</source>
        <translation>Clearing the image</translation>
    </message>
    <message>
        <source>Вы хотите принять изменения сектора?</source>
        <translation>Do you want to accept the changes to the sector?</translation>
    </message>
    <message>
        <source>Внимание!</source>
        <translation>Attention!</translation>
    </message>
    <message>
        <source>Вы хотите принять изменения дорожки?</source>
        <translation>Do you want to accept the changes to the track?</translation>
    </message>
    <message>
        <source>Файл сектора (*.sec)|*.sec</source>
        <translation>Sector file (*.sec)|*.sec</translation>
    </message>
    <message>
        <source>Сохранить сектор...</source>
        <translation>Save the sector...</translation>
    </message>
    <message>
        <source>Имя диска!</source>
        <translation>Disk name!</translation>
    </message>
    <message>
        <source>Задайте имя диска (8 символов максимум)</source>
        <translation>Enter the disk name (8 characters at most)</translation>
    </message>
    <message>
        <source>Имя:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Образ не соответствует стандартному TR-DOS диску!</source>
        <translation>The image is not a standard TR-DOS disk!</translation>
    </message>
    <message>
        <source>Образ не соответствует CP/M диску!</source>
        <translation>The image is not a CP/M disk!</translation>
    </message>
    <message>
        <source>Ошибка загрузки %1 -</source>
        <translation>Error loading %1 -</translation>
    </message>
    <message>
        <source>%1 - %2 (Дорожек - %3)</source>
        <translation>%1 - %2 (Tracks - %3)</translation>
    </message>
    <message>
        <source>Файл уже существует! Перезаписать?</source>
        <translation>The file already exists! Overwrite it?</translation>
    </message>
    <message>
        <source>Внимание..!</source>
        <translation>Attention!</translation>
    </message>
    <message>
        <source>Образ диска</source>
        <translation>Disk image</translation>
    </message>
    <message>
        <source>Ошибка загрузки образа</source>
        <translation>Disk image load error</translation>
    </message>
    <message>
        <source>Файл %1 не найден!</source>
        <translation>File %1 not found!</translation>
    </message>
    <message>
        <source>Загрузить образ диска из файла..</source>
        <translation>Load a disk image from a file</translation>
    </message>
    <message>
        <source>Сохранить образ диска в файл...</source>
        <translation>Save the disk image to a file...</translation>
    </message>
    <message>
        <source>.
Сохранить с потерями?</source>
        <translation>.
Save with losses?</translation>
    </message>
    <message>
        <source>Ошибка создания образа UDI</source>
        <translation>Error creating the UDI image</translation>
    </message>
    <message>
        <source>Ошибка в дорожке - %1 / Сектор - %2</source>
        <translation>Error in track - %1 / Sector - %2</translation>
    </message>
    <message>
        <source>Ошибка записи файла %1!</source>
        <translation>Error writing file %1!</translation>
    </message>
    <message>
        <source>Образ сохранён с потерями - %1</source>
        <translation>Image saved with losses - %1</translation>
    </message>
    <message>
        <source>Потеряно: </source>
        <translation>Lost: </translation>
    </message>
    <message>
        <source>Сохранить образ диска в файл..</source>
        <translation>Save the disk image to a file</translation>
    </message>
    <message>
        <source>Образ диска сохранён</source>
        <translation>Disk image saved</translation>
    </message>
    <message>
        <source>без ошибок</source>
        <translation>good</translation>
    </message>
    <message>
        <source>сбойный</source>
        <translation>bad</translation>
    </message>
    <message>
        <source>нет данных</source>
        <translation>no data</translation>
    </message>
    <message>
        <source>Образ</source>
        <translation>Image</translation>
    </message>
    <message>
        <source>Создать образ</source>
        <translation>Create image</translation>
    </message>
    <message>
        <source>TR-DOS диска</source>
        <translation>TR-DOS disk</translation>
    </message>
    <message>
        <source>CP/M диска (Profi)</source>
        <translation>CP/M disk (Profi)</translation>
    </message>
    <message>
        <source>Загрузить образ</source>
        <translation>Load image</translation>
    </message>
    <message>
        <source>Объединить с другим образом</source>
        <translation>Merge with another image</translation>
    </message>
    <message>
        <source>Последние образы</source>
        <translation>Recent images</translation>
    </message>
    <message>
        <source>Шаблон дорожек</source>
        <translation>Track template</translation>
    </message>
    <message>
        <source>Редактировать базовый шаблон</source>
        <translation>Edit the base template</translation>
    </message>
    <message>
        <source>Использовать базовый шаблон для всех дорожек</source>
        <translation>Use the base template for every track</translation>
    </message>
    <message>
        <source>Просмотреть ZX каталог</source>
        <translation>View the ZX catalog</translation>
    </message>
    <message>
        <source>Просмотреть CP/M каталог</source>
        <translation>View the CP/M catalog</translation>
    </message>
    <message>
        <source>Очистить образ</source>
        <translation>Clear image</translation>
    </message>
    <message>
        <source>Сохранить образ</source>
        <translation>Save image</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Диск</source>
        <translation>Disk</translation>
    </message>
    <message>
        <source>Почему дисковод недоступен?</source>
        <translation>Why is the drive unavailable?</translation>
    </message>
    <message>
        <source>Полное чтение диска</source>
        <translation>Full disk read</translation>
    </message>
    <message>
        <source>Чтение сырых данных</source>
        <translation>Raw data read</translation>
    </message>
    <message>
        <source>Сканирование дорожек</source>
        <translation>Scan tracks</translation>
    </message>
    <message>
        <source>Чтение секторов по меткам</source>
        <translation>Read sectors by their IDs</translation>
    </message>
    <message>
        <source>Сканирование и чтение диска</source>
        <translation>Scan and read the disk</translation>
    </message>
    <message>
        <source>Быстрое чтение диска</source>
        <translation>Fast disk read</translation>
    </message>
    <message>
        <source>Перечитать сбойные сектора</source>
        <translation>Re-read bad sectors</translation>
    </message>
    <message>
        <source>Форматировать диск</source>
        <translation>Format the disk</translation>
    </message>
    <message>
        <source>Записать диск</source>
        <translation>Write the disk</translation>
    </message>
    <message>
        <source>Форматировать и записать</source>
        <translation>Format and write</translation>
    </message>
    <message>
        <source>Считать ZX каталог</source>
        <translation>Read the ZX catalog</translation>
    </message>
    <message>
        <source>Контроллер</source>
        <translation>Controller</translation>
    </message>
    <message>
        <source>Сбросить FDD контроллер</source>
        <translation>Reset the FDD controller</translation>
    </message>
    <message>
        <source>Вид</source>
        <translation>View</translation>
    </message>
    <message>
        <source>Крупнее</source>
        <translation>Larger</translation>
    </message>
    <message>
        <source>Мельче</source>
        <translation>Smaller</translation>
    </message>
    <message>
        <source>Обычный размер</source>
        <translation>Normal size</translation>
    </message>
    <message>
        <source>Легенда карты</source>
        <translation>Map legend</translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Настройки программы</source>
        <translation>Program settings</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Считать сектор</source>
        <translation>Read the sector</translation>
    </message>
    <message>
        <source>Считать RAW дорожки</source>
        <translation>Read the raw track</translation>
    </message>
    <message>
        <source>Считать сектора дорожки</source>
        <translation>Read the track&apos;s sectors</translation>
    </message>
    <message>
        <source>Сканировать дорожку</source>
        <translation>Scan the track</translation>
    </message>
    <message>
        <source>Редактировать адрес сектора</source>
        <translation>Edit the sector ID</translation>
    </message>
    <message>
        <source>Операции с образом</source>
        <translation>Image operations</translation>
    </message>
    <message>
        <source>Установить базовой дорожкой</source>
        <translation>Make it the base track</translation>
    </message>
    <message>
        <source>Убрать дорожку</source>
        <translation>Remove the track</translation>
    </message>
    <message>
        <source>Добавить дорожку</source>
        <translation>Add the track</translation>
    </message>
    <message>
        <source>Убрать сектор</source>
        <translation>Remove the sector</translation>
    </message>
    <message>
        <source>Добавить сектор</source>
        <translation>Add a sector</translation>
    </message>
    <message>
        <source>Данные секторов -&gt; RAW</source>
        <translation>Sector data -&gt; raw</translation>
    </message>
    <message>
        <source>RAW -&gt; заголовки секторов</source>
        <translation>Raw -&gt; sector IDs</translation>
    </message>
    <message>
        <source>Очистить дорожку</source>
        <translation>Clear the track</translation>
    </message>
    <message>
        <source>Очистить данные сектора</source>
        <translation>Clear the sector data</translation>
    </message>
    <message>
        <source>Очистить данные секторов</source>
        <translation>Clear the sectors&apos; data</translation>
    </message>
    <message>
        <source>Очистить заголовок сектора</source>
        <translation>Clear the sector ID</translation>
    </message>
    <message>
        <source>Очистить заголовки секторов</source>
        <translation>Clear the sector IDs</translation>
    </message>
    <message>
        <source>Очистить Log дорожки</source>
        <translation>Clear the track log</translation>
    </message>
    <message>
        <source>Записать сектор</source>
        <translation>Write the sector</translation>
    </message>
    <message>
        <source>Записать дорожку</source>
        <translation>Write the track</translation>
    </message>
    <message>
        <source>Формат дорожки</source>
        <translation>Format the track</translation>
    </message>
    <message>
        <source>Velloran %1

Образы дисков и дискеты ZX Spectrum: TR-DOS, CP/M Profi, Корвет.

Qt %2</source>
        <translation>Velloran %1

Disk images and floppy disks of the ZX Spectrum: TR-DOS, CP/M Profi, Korvet.

Qt %2</translation>
    </message>
    <message>
        <source>Недоступно в этой версии</source>
        <translation>Not available in this version</translation>
    </message>
    <message>
        <source>Нет образа в памяти</source>
        <translation>No image in memory</translation>
    </message>
    <message>
        <source>Драйвер дисковода не загружен.</source>
        <translation>The drive driver is not loaded.</translation>
    </message>
    <message>
        <source>Дисковод недоступен.</source>
        <translation>The drive is unavailable.</translation>
    </message>
    <message>
        <source>Дисковод не открыт.</source>
        <translation>The drive is not open.</translation>
    </message>
    <message>
        <source>Список пуст</source>
        <translation>The list is empty</translation>
    </message>
    <message>
        <source>Щёлкните номер дорожки, входящей в образ</source>
        <translation>Click the number of a track in the image</translation>
    </message>
    <message>
        <source>Щёлкните номер дорожки, убранной из образа</source>
        <translation>Click the number of a track removed from the image</translation>
    </message>
    <message>
        <source>Щёлкните номер дорожки с RAW образом</source>
        <translation>Click the number of a track with a raw image</translation>
    </message>
    <message>
        <source>Щёлкните сектор</source>
        <translation>Click a sector</translation>
    </message>
    <message>
        <source>Щёлкните пустое место сразу за последним сектором дорожки</source>
        <translation>Click the empty place right after the track&apos;s last sector</translation>
    </message>
    <message>
        <source>Объединить с образом диска из файла..</source>
        <translation>Merge with a disk image from a file</translation>
    </message>
    <message>
        <source>образ в памяти</source>
        <translation>the image in memory</translation>
    </message>
    <message>
        <source>Хорошие копии некоторых секторов различаются: взяты копии из первого образа, где они хороши. Подробности - в журнале.</source>
        <translation>Good copies of some sectors differ: the copies of the first image where they are good were taken. The log has the details.</translation>
    </message>
    <message>
        <source>Без имени</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>Образ «%1» изменён. Сохранить изменения?</source>
        <translation>The image &quot;%1&quot; has changed. Save the changes?</translation>
    </message>
    <message>
        <source>Изменения в HEX редакторе не приняты.<byte value="xd"/>Принять их?</source>
        <translation>The changes in the hex editor are not accepted.
Accept them?</translation>
    </message>
    <message>
        <source>Файл %1 не найден!<byte value="xd"/>Он убран из списка последних образов.</source>
        <translation>File %1 not found!
It is removed from the list of recent images.</translation>
    </message>
    <message>
        <source>Язык окон сменён.</source>
        <translation>The windows now speak the new language.</translation>
    </message>
    <message>
        <source>Следующая копия слабого сектора; байты, в которых копии различаются, отмечены</source>
        <translation>The next copy of the weak sector; the bytes in which the copies differ are marked</translation>
    </message>
    <message>
        <source>Картина диска</source>
        <translation>Disk picture</translation>
    </message>
    <message>
        <source>Копия %1 из %2</source>
        <translation>Copy %1 of %2</translation>
    </message>
    <message>
        <source>Поток дорожки</source>
        <translation>Track flux</translation>
    </message>
</context>
<context>
    <name>velloran::TrackView</name>
    <message>
        <source>Дорожка </source>
        <translation>Track </translation>
    </message>
    <message>
        <source>Поток дорожки %1</source>
        <translation>Flux of track %1</translation>
    </message>
    <message>
        <source>Дорожка без потока: расположение секторов по RAW образу</source>
        <translation>A track without flux: the sectors placed by the raw track</translation>
    </message>
    <message>
        <source>Дорожка без потока и без RAW образа</source>
        <translation>A track with neither flux nor a raw track</translation>
    </message>
    <message>
        <source>Все обороты</source>
        <translation>All revolutions</translation>
    </message>
    <message>
        <source>Оборот %1</source>
        <translation>Revolution %1</translation>
    </message>
    <message>
        <source>Сектор %1 (C%2 H%3 R%4 N%5), %6: %7</source>
        <translation>Sector %1 (C%2 H%3 R%4 N%5), %6: %7</translation>
    </message>
    <message>
        <source>заголовок</source>
        <translation>sector ID</translation>
    </message>
    <message>
        <source>данные</source>
        <translation>data</translation>
    </message>
</context>
<context>
    <name>velloran::TrdosCatalogWindow</name>
    <message>
        <source>Каталог диска TR-DOS</source>
        <translation>TR-DOS disk catalog</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Описание диска</source>
        <translation>Disk description</translation>
    </message>
    <message>
        <source>Директория сохранения Хобетных файлов!</source>
        <translation>Folder to save the Hobeta files in</translation>
    </message>
    <message>
        <source>Сохранить файл(ы) в SCL..!</source>
        <translation>Save the file(s) as SCL</translation>
    </message>
    <message>
        <source>Файл SCL (*.scl)|*.scl</source>
        <translation>SCL file (*.scl)|*.scl</translation>
    </message>
    <message>
        <source>Добавить файл(ы) в образ..</source>
        <translation>Add file(s) to the image</translation>
    </message>
    <message>
        <source>Файлы SCL (*.scl)|*.scl|Файлы Hobeta (*.$*)|*.$*|Файлы SCL и Hobeta (*.scl *.$*)|*.scl;*.$*</source>
        <translation>SCL files (*.scl)|*.scl|Hobeta files (*.$*)|*.$*|SCL and Hobeta files (*.scl *.$*)|*.scl;*.$*</translation>
    </message>
    <message>
        <source>Имя файла</source>
        <translation>Filename</translation>
    </message>
    <message>
        <source>Тип</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Старт</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Длина</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>Секторов</source>
        <translation>Sectors</translation>
    </message>
    <message>
        <source>Сектор</source>
        <translation>Sector</translation>
    </message>
    <message>
        <source>Дорожка</source>
        <translation>Track</translation>
    </message>
    <message>
        <source>Название дискеты</source>
        <translation>Disk label</translation>
    </message>
    <message>
        <source>Тип дискеты</source>
        <translation>Disk type</translation>
    </message>
    <message>
        <source>Свободный сектор</source>
        <translation>First free sector</translation>
    </message>
    <message>
        <source>Свободная дорожка</source>
        <translation>First free track</translation>
    </message>
    <message>
        <source>Свободных секторов</source>
        <translation>Free sectors</translation>
    </message>
    <message>
        <source>Количество файлов</source>
        <translation>Files</translation>
    </message>
    <message>
        <source>Удаленных файлов</source>
        <translation>Deleted files</translation>
    </message>
    <message>
        <source>Просмотр экрана</source>
        <translation>View screen</translation>
    </message>
    <message>
        <source>Просмотр HEX</source>
        <translation>View hex</translation>
    </message>
    <message>
        <source>Уплотнить</source>
        <translation>Compact</translation>
    </message>
    <message>
        <source>Сменить имя диска</source>
        <translation>Rename disk</translation>
    </message>
    <message>
        <source>Показать удаленные файлы</source>
        <translation>Show deleted files</translation>
    </message>
    <message>
        <source>Сохранить как Hobeta</source>
        <translation>Save as Hobeta</translation>
    </message>
    <message>
        <source>Сохранить как SCL</source>
        <translation>Save as SCL</translation>
    </message>
    <message>
        <source>Редактировать заголовок</source>
        <translation>Edit entry</translation>
    </message>
    <message>
        <source>Восстановить файл</source>
        <translation>Restore file</translation>
    </message>
    <message>
        <source>Добавить файл(ы)</source>
        <translation>Add file(s)</translation>
    </message>
    <message>
        <source>Удалить файл(ы)</source>
        <translation>Delete file(s)</translation>
    </message>
</context>
</TS>
