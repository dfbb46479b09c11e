// The commands that edit the disk in memory, and the sector address dialog.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include "cpm/cpm_disk.h"
#include "formats/udi.h"
#include "trdos/catalog.h"
#include "ui/disk_map_cells.h"
#include "ui/sector_address_dialog.h"
#include "ui/ui_fixture.h"

namespace velloran::test {
namespace {

using EditTest = MainWindowTest;

TEST_F(EditTest, RemovingASectorMovesTheLaterSlotsUp) {
  MakeMarkedTrdosDisk(Disk());
  Disk().GetSector(3, 15).ErrorCount = 9;
  window->OnMapContextMenu(4, 3);  // slot 3
  window->AddLogLine(FixedText("old"), false);
  prompts.QueueAnswer(PromptAnswer::No);
  OnRemoveSector(*window);
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].text, "Вы действительно хотите удалить сектор?\rПоследующие сектора будут сдвинуты!");
  EXPECT_EQ(prompts.Messages()[0].caption, "Удаление сектора..");
  EXPECT_EQ(Disk().GetSector(3, 3).IdSector, 4) << "No leaves the track";
  EXPECT_EQ(window->LogLines().size(), 1);

  prompts.QueueAnswer(PromptAnswer::Yes);
  OnRemoveSector(*window);
  const TTrack& track = Disk().GetTrack(3);
  for (int slot = 0; slot < 15; ++slot) {
    EXPECT_TRUE(track.GetSector(static_cast<std::uint8_t>(slot)).Used) << slot;
    EXPECT_EQ(track.GetSector(static_cast<std::uint8_t>(slot)).IdSector, slot < 3 ? slot + 1 : slot + 2) << slot;
  }
  EXPECT_EQ(track.GetSector(14).ErrorCount, 9) << "every field moves with its slot";
  EXPECT_EQ(track.GetSector(3).Data[1], 4);
  EXPECT_FALSE(track.GetSector(15).Used);
  EXPECT_EQ(track.GetSector(15).DataLen, 0);
  EXPECT_TRUE(window->LogLines().isEmpty());
  EXPECT_EQ(CellTile(Disk(), 16, 3), Tile::Blank) << "the row is one cell shorter";

  window->OnMapContextMenu(0, 3);
  OnRemoveSector(*window);
  EXPECT_EQ(prompts.Messages().back().text, "Сектор не выбран!");
  EXPECT_EQ(prompts.Messages().back().caption, "Ошибка!");
}

TEST_F(EditTest, AddingASectorGivesAProvisionalId) {
  Disk().GetTrack(7).Present = true;
  window->OnMapContextMenu(6, 7);  // slot 5
  OnAddSector(*window);
  const TSectorRec& sector = Disk().GetSector(7, 5);
  EXPECT_TRUE(sector.Used);
  EXPECT_EQ(sector.IdTrack, 7);
  EXPECT_EQ(sector.IdSide, 1);
  EXPECT_EQ(sector.IdSector, 5);
  EXPECT_EQ(sector.IdSize, 1);
  EXPECT_TRUE(sector.DataOk);
  Click(6, 7);
  // The new ID carries its real CRC (CRC-16/CCITT from FFFF over A1 A1 A1 FE 07 01 05 01), so a track built
  // from it holds no ID-CRC error.
  EXPECT_EQ(Text("an5"), "#50D5");
  EXPECT_EQ(CellTile(Disk(), 6, 7), Tile::SectorNoData);
}

TEST_F(EditTest, AddressDialogComputesTheIdCrcAndStoresIt) {
  Disk().GetTrack(2).Present = true;
  window->OnMapContextMenu(1, 2);
  OnAddSector(*window);
  Disk().GetSector(2, 0).DataOk = false;
  prompts.QueueWindow([](QDialog& dialog) {
    auto* accept = dialog.findChild<QPushButton*>("bb1");
    auto* track = dialog.findChild<QSpinBox*>("ne1");
    auto* sector = dialog.findChild<QSpinBox*>("ne2");
    auto* side = dialog.findChild<QComboBox*>("cb1");
    auto* size = dialog.findChild<QComboBox*>("cb2");
    auto* crc = dialog.findChild<QLabel*>("an5");
    auto* noErrors = dialog.findChild<QCheckBox*>("cb");
    EXPECT_EQ(dialog.windowTitle(), "Заголовок");
    EXPECT_EQ(track->value(), 2);
    EXPECT_EQ(side->currentIndex(), 0);
    EXPECT_EQ(sector->value(), 0);
    EXPECT_EQ(size->currentText(), "256 байт");
    EXPECT_FALSE(noErrors->isChecked());
    EXPECT_EQ(crc->text(), "#2455");  // CRC-16/CCITT from FFFF over A1 A1 A1 FE 02 00 00 01
    EXPECT_FALSE(accept->isEnabled()) << "nothing changed yet";
    track->setValue(0);
    EXPECT_TRUE(accept->isEnabled());
    sector->setValue(1);
    // A1 A1 A1 FE 00 00 01 01 gives FA0C.
    EXPECT_EQ(crc->text(), "#FA0C");
    // An emptied number box changes nothing.
    sector->findChild<QLineEdit*>()->clear();
    EXPECT_EQ(crc->text(), "#FA0C");
    sector->findChild<QLineEdit*>()->setText("1");
    noErrors->setChecked(true);
    accept->click();
  });
  OnEditSectorAddress(*window);
  const TSectorRec& edited = Disk().GetSector(2, 0);
  EXPECT_EQ(edited.IdTrack, 0);
  EXPECT_EQ(edited.IdSide, 0);
  EXPECT_EQ(edited.IdSector, 1);
  EXPECT_EQ(edited.IdSize, 1);
  EXPECT_EQ(edited.IdCrc, 0xFA0C);
  EXPECT_TRUE(edited.DataOk);

  // Cancelled: nothing changes; the dialog shows again with "Принять" off.
  prompts.QueueWindow([](QDialog& dialog) {
    EXPECT_FALSE(dialog.findChild<QPushButton*>("bb1")->isEnabled());
    EXPECT_EQ(dialog.findChild<QLabel*>("an5")->text(), "#FA0C");
    dialog.findChild<QComboBox*>("cb2")->setCurrentIndex(3);
    EXPECT_EQ(dialog.findChild<QLabel*>("an5")->text(),
              QStringLiteral("#%1").arg(IdFieldCrc(0, 0, 1, 3), 4, 16, QLatin1Char('0')).toUpper());
    dialog.findChild<QPushButton*>("BitBtn2")->click();
  });
  OnEditSectorAddress(*window);
  EXPECT_EQ(Disk().GetSector(2, 0).IdSize, 1);
  EXPECT_EQ(Disk().GetSector(2, 0).IdCrc, 0xFA0C);
}

TEST_F(EditTest, RemovingAndAddingATrackKeepsItsContents) {
  MakeMarkedTrdosDisk(Disk());
  window->OnMapContextMenu(0, 9);
  OnRemoveTrack(*window);
  EXPECT_FALSE(Disk().GetTrack(9).Present);
  EXPECT_EQ(CellTile(Disk(), 1, 9), Tile::Blank);
  OnAddTrack(*window);
  EXPECT_TRUE(Disk().GetTrack(9).Present);
  EXPECT_EQ(Disk().GetSector(9, 4).Data[1], 4);
  EXPECT_EQ(CellTile(Disk(), 5, 9), Tile::SectorGood);
}

TEST_F(EditTest, ClearingTheRawImageOfAUdiTrack) {
  const auto files = CorpusFiles("udi");
  const auto udi = std::find_if(files.begin(), files.end(), [](const auto& file) {
    TZX_Disk probe;
    return LoadUDI(probe, file) && probe.GetTrack(0).RawLength > 0 && probe.GetTrack(0).CountSectors() > 0;
  });
  ASSERT_NE(udi, files.end());
  LoadThroughDialog(*udi);
  ASSERT_EQ(CellTile(Disk(), 0, 0), Tile::LabelRaw);
  const Tile sectorBefore = CellTile(Disk(), 1, 0);
  window->OnMapContextMenu(0, 0);
  prompts.QueueAnswer(PromptAnswer::Yes);
  OnClearTrack(*window);
  EXPECT_EQ(prompts.Messages().back().text, "Вы действительно хотите удалить данные дорожки?");
  EXPECT_EQ(prompts.Messages().back().caption, "Очистка RAW дорожки!");
  EXPECT_EQ(CellTile(Disk(), 0, 0), Tile::LabelPlain) << "the label turns yellow";
  EXPECT_EQ(CellTile(Disk(), 1, 0), sectorBefore) << "the sectors stay";
  EXPECT_FALSE(Disk().GetTrack(0).RawValid);
  EXPECT_EQ(Disk().GetTrack(0).RawData[100], 0);
}

TEST_F(EditTest, BaseTrackCommands) {
  MakeMarkedTrdosDisk(Disk());
  auto* useBase = Action("N21");
  EXPECT_TRUE(useBase->isChecked()) << "the item starts checked";
  window->OnMapContextMenu(0, 12);
  OnSetBaseTrack(*window);
  EXPECT_EQ(Disk().BaseTrack, 12);
  EXPECT_FALSE(Disk().UseBaseTrack) << "a track without raw image does not switch it on";
  EXPECT_EQ(useBase->text(), "Использовать базовый шаблон для всех дорожек (Дорожка - 12)");

  useBase->trigger();  // checked: switches off
  EXPECT_FALSE(useBase->isChecked());
  EXPECT_FALSE(Disk().UseBaseTrack);
  useBase->trigger();  // base track without raw image: nothing
  EXPECT_FALSE(useBase->isChecked());
  Disk().GetTrack(12).RawLength = 6250;
  OnSetBaseTrack(*window);
  EXPECT_TRUE(Disk().UseBaseTrack);
  useBase->trigger();
  EXPECT_TRUE(useBase->isChecked());
  EXPECT_TRUE(Disk().UseBaseTrack);
}

TEST_F(EditTest, SectorDataGoesIntoTheRawImagesWhereItFits) {
  TTrack& track = Disk().GetTrack(0);
  track.Present = true;
  track.RawValid = true;
  track.RawLength = 1000;
  auto place = [&](int slot, int position, int length, std::uint8_t fill) {
    TSectorRec& sector = track.GetSector(static_cast<std::uint8_t>(slot));
    sector.Used = true;
    sector.DataPos = static_cast<std::uint16_t>(position);
    sector.DataLen = static_cast<std::uint16_t>(length);
    std::fill(sector.Data.begin(), sector.Data.begin() + length, fill);
  };
  place(0, 100, 256, 0x11);
  place(1, 500, 256, 0x22);
  place(2, 744, 256, 0x33);  // ends exactly at RawLength: left out
  track.CountSectors();
  OnSectorsToRaw(*window);
  EXPECT_EQ(track.RawData[100], 0x11);
  EXPECT_EQ(track.RawData[755], 0x22);
  EXPECT_EQ(track.RawData[744], 0x22) << "slot 1 wrote there; slot 2 did not";
  EXPECT_EQ(track.RawData[999], 0);
}

TEST_F(EditTest, ClearImageAsksFirst) {
  MakeMarkedTrdosDisk(Disk());
  Find<QPlainTextEdit>("lb1")->setPlainText("note");
  Click(3, 3);
  OnClearImage(*window);
  EXPECT_EQ(prompts.Messages().back().text, "Вы действительно хотите очистить образ?");
  EXPECT_EQ(prompts.Messages().back().caption, "Очистка образа..");
  EXPECT_EQ(Disk().CountTracks(), 160) << "No leaves the disk";
  prompts.QueueAnswer(PromptAnswer::Yes);
  OnClearImage(*window);
  EXPECT_EQ(Disk().CountTracks(), 0);
  EXPECT_EQ(Text("l1"), "");
  EXPECT_EQ(Text("l2"), "");
  EXPECT_EQ(Pane()->Size(), 0);
  EXPECT_EQ(Find<QPlainTextEdit>("lb1")->toPlainText(), "");
  EXPECT_EQ(Map()->CurrentRow(), 0);
}

TEST_F(EditTest, AcceptCopiesThePaneIntoTheSectorOrTheRawTrack) {
  MakeMarkedTrdosDisk(Disk());
  Click(2, 4);  // slot 1 of track 4
  auto* accept = Find<QPushButton>("pnb1");
  Pane()->EditByte(10, 0xAB);
  ASSERT_TRUE(accept->isEnabled());
  accept->click();  // answered No
  EXPECT_EQ(prompts.Messages().back().text, "Вы хотите принять изменения сектора?");
  EXPECT_EQ(prompts.Messages().back().caption, "Внимание!");
  EXPECT_EQ(Disk().GetSector(4, 1).Data[10], 0);
  EXPECT_FALSE(accept->isEnabled()) << "disabled also after No";
  EXPECT_TRUE(Pane()->IsChanged(10));

  Pane()->EditByte(11, 0xCD);
  prompts.QueueAnswer(PromptAnswer::Yes);
  accept->click();
  EXPECT_EQ(Disk().GetSector(4, 1).Data[10], 0xAB);
  EXPECT_EQ(Disk().GetSector(4, 1).Data[11], 0xCD);
  EXPECT_FALSE(Pane()->AnyChanged());
  // The data CRC label follows the accepted bytes.
  Bytes field = {0xA1, 0xA1, 0xA1, 0xFB};
  field.insert(field.end(), Disk().GetSector(4, 1).Data.begin(), Disk().GetSector(4, 1).Data.begin() + 256);
  EXPECT_EQ(Text("vCRC"),
            QStringLiteral("#%1").arg(CalcCRC16(field.data(), field.size()), 4, 16, QLatin1Char('0')).toUpper());

  // The size code's length can exceed the data: only DataLen bytes go back.
  window->Options().SetSectorSizeFromHead = true;
  TSectorRec& shortSector = Disk().GetSector(4, 2);
  shortSector.DataLen = 100;
  Click(3, 4);
  ASSERT_EQ(Pane()->Size(), 256);
  Pane()->EditByte(99, 0x77);
  Pane()->EditByte(100, 0x66);
  prompts.QueueAnswer(PromptAnswer::Yes);
  accept->click();
  EXPECT_EQ(shortSector.Data[99], 0x77);
  EXPECT_EQ(shortSector.Data[100], 0);

  TTrack& raw = Disk().GetTrack(6);
  raw.RawValid = true;
  raw.RawLength = 300;
  Click(0, 6);
  Pane()->EditByte(299, 0x42);
  prompts.QueueAnswer(PromptAnswer::Yes);
  accept->click();
  EXPECT_EQ(prompts.Messages().back().text, "Вы хотите принять изменения дорожки?");
  EXPECT_EQ(raw.RawData[299], 0x42);
  EXPECT_EQ(raw.RawData[300], 0);
}

TEST_F(EditTest, SaveWritesThePaneToASecFile) {
  MakeMarkedTrdosDisk(Disk());
  Click(1, 8);
  const auto file = dir / "s.sec";
  prompts.QueueSave(QString::fromStdString(file.string()));
  Find<QPushButton>("pnb2")->click();
  const auto& request = prompts.Records().back();
  EXPECT_EQ(request.text, "Сохранить сектор...");
  EXPECT_EQ(request.file.filters, QStringList{"Файл сектора (*.sec)|*.sec"});
  EXPECT_EQ(request.file.defaultSuffix, "sec");
  Bytes expected(256, 0);
  expected[0] = 8;
  EXPECT_EQ(ReadFileBytes(file), expected);

  WriteFileBytes(file, Bytes{9});
  prompts.QueueSave(QString::fromStdString(file.string()));
  Find<QPushButton>("pnb2")->click();  // overwrite answered No
  EXPECT_EQ(prompts.Messages().back().text, "Файл уже существует! Перезаписать?");
  EXPECT_EQ(ReadFileBytes(file), Bytes{9});
}

TEST_F(EditTest, NewTrdosDiskAsksForItsName) {
  prompts.QueueText(QStringLiteral("MYDISK12345"));
  OnNewTrdosDisk(*window);
  const auto& question = prompts.Records().back();
  EXPECT_EQ(question.kind, ScriptedPrompts::Kind::AskText);
  EXPECT_EQ(question.caption, "Имя диска!");
  EXPECT_EQ(question.text, "Задайте имя диска (8 символов максимум)");
  EXPECT_EQ(question.textRequest.label, "Имя:");
  EXPECT_EQ(question.textRequest.maxLength, 8);
  EXPECT_EQ(question.textRequest.acceptButton, "&Ok");
  EXPECT_EQ(question.textRequest.cancelButton, "Отмена");
  EXPECT_EQ(question.startText, "NEW DISK");
  TrdosCatalog catalog;
  ASSERT_TRUE(ReadCatalog(Disk(), catalog));
  EXPECT_EQ(std::string(catalog.DiskLabel.begin(), catalog.DiskLabel.end()), "MYDISK12");
  EXPECT_EQ(catalog.FreeSectors, 2544);
  EXPECT_EQ(Map()->TopRow(), 0);
  // Cancelling the name keeps the disk as it is.
  Disk().GetSector(1, 0).Data[0] = 0x55;
  prompts.QueueAnswer(PromptAnswer::Discard);  // the new disk was never saved
  prompts.QueueText(std::nullopt);
  OnNewTrdosDisk(*window);
  EXPECT_TRUE(prompts.AllUsed());
  EXPECT_EQ(Disk().GetSector(1, 0).Data[0], 0x55);
}

TEST_F(EditTest, NewCpmDisk) {
  OnNewCpmDisk(*window);
  EXPECT_EQ(Disk().CountTracks(), 160);
  EXPECT_EQ(Disk().GetTrack(0).CountSectors(), 5);
  EXPECT_EQ(Disk().GetSector(0, 4).IdSector, 9);
  EXPECT_EQ(Disk().GetSector(1, 0).IdSide, 1);
  EXPECT_EQ(Disk().GetSector(1, 0).DataLen, 1024);
  EXPECT_EQ(Disk().GetSector(0, 0).Data[0], 0xE5);  // an empty directory, not 128 zero entries
}

TEST_F(EditTest, CatalogCommandsCheckTheDiskFirst) {
  OnNewCpmDisk(*window);
  OnShowTrdosCatalog(*window);
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].text, "Образ не соответствует стандартному TR-DOS диску!");
  EXPECT_EQ(prompts.Messages()[0].icon, PromptIcon::None);
  MakeMarkedTrdosDisk(Disk());
  OnShowCpmCatalog(*window);
  ASSERT_EQ(prompts.Messages().size(), 2u);
  EXPECT_EQ(prompts.Messages()[1].text, "Образ не соответствует CP/M диску!");
  EXPECT_EQ(prompts.Messages()[1].caption, "Ошибка!");
}

TEST_F(EditTest, ImageMenuNeedsADiskForSomeItems) {
  window->RefreshItems("N1");
  for (const char* name : {"N6", "N32", "N26", "CPM1", "N12"}) EXPECT_FALSE(Action(name)->isEnabled()) << name;
  EXPECT_TRUE(Action("N31")->isEnabled());
  EXPECT_FALSE(Action("N4")->isVisible());
  EXPECT_FALSE(Action("N6")->isVisible());
  MakeMarkedTrdosDisk(Disk());
  window->RefreshItems("N1");
  for (const char* name : {"N32", "N26", "CPM1", "N12"}) EXPECT_TRUE(Action(name)->isEnabled()) << name;
}

}  // namespace
}  // namespace velloran::test
