// One instance per user: a second start hands its file to the first, and
// files dropped on the map.
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include "ui/instance_channel.h"
#include "ui/ui_fixture.h"

namespace velloran::test {
namespace {

const std::filesystem::path kProgram = std::filesystem::path(VELLORAN_CLI).parent_path() / "velloran";

TEST(InstanceChannel, MessagesOfASecondStart) {
  EXPECT_EQ(HandOffMessage({}), QByteArray("s"));
  EXPECT_EQ(HandOffMessage({"/tmp/диск.trd", "more"}), QByteArray("v") + QStringLiteral("/tmp/диск.trd").toUtf8());
}

TEST(InstanceChannel, ServerReceivesWhatASecondStartSends) {
  ScratchDir dir;
  // Qt wants the runtime folder to be the user's alone.
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all);
  const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
  qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir.Path().string()));
  EXPECT_FALSE(HandOffToRunningInstance("s")) << "nobody listens yet";
  {
    InstanceServer server;
    ASSERT_TRUE(server.Listen());
    QSignalSpy received(&server, &InstanceServer::MessageReceived);
    // The sender blocks until written; the server side needs the event loop.
    QTimer::singleShot(0, [] { HandOffToRunningInstance(QByteArray("v/a/b.trd")); });
    ASSERT_TRUE(received.wait(5000));
    EXPECT_EQ(received.at(0).at(0).toByteArray(), QByteArray("v/a/b.trd"));
  }
  qputenv("XDG_RUNTIME_DIR", saved);
}

// Reads the process's standard error until `text` shows up or time runs out.
bool WaitForText(QProcess& process, QByteArray& seen, const QByteArray& text, int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (!seen.contains(text) && clock.elapsed() < milliseconds) {
    process.waitForReadyRead(200);
    seen += process.readAllStandardError();
  }
  return seen.contains(text);
}

TEST(SingleInstance, SecondStartHandsItsFileToTheFirst) {
  if (!std::filesystem::exists(kProgram)) GTEST_SKIP() << "velloran not built";
  ScratchDir dir;
  // Qt wants the runtime folder to be the user's alone.
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(dir.Path().string()));
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.remove("VELLORAN_DRIVE");

  QProcess first;
  first.setProcessEnvironment(environment);
  first.start(QString::fromStdString(kProgram.string()), {"--drive", "sim:"});
  ASSERT_TRUE(first.waitForStarted(10000));
  const QString channel = QString::fromStdString((dir / "Velloran").string());
  QElapsedTimer clock;
  clock.start();
  while (!QFileInfo::exists(channel) && clock.elapsed() < 30000) QThread::msleep(50);
  ASSERT_TRUE(QFileInfo::exists(channel)) << first.readAllStandardError().toStdString();

  const auto image = CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd");
  QProcess second;
  second.setProcessEnvironment(environment);
  second.start(QString::fromStdString(kProgram.string()), {QString::fromStdString(image.string())});
  ASSERT_TRUE(second.waitForFinished(30000));
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_TRUE(second.readAllStandardError().isEmpty()) << "the second start opens no window of its own";

  QByteArray seen;
  const QByteArray loaded =
      QStringLiteral("velloran: Disk image - %1 (Tracks - 160)").arg(QString::fromStdString(image.string())).toUtf8();
  EXPECT_TRUE(WaitForText(first, seen, loaded, 30000)) << seen.toStdString();

  // A start without a file only brings the first forward.
  QProcess third;
  third.setProcessEnvironment(environment);
  third.start(QString::fromStdString(kProgram.string()), QStringList{});
  ASSERT_TRUE(third.waitForFinished(30000));
  EXPECT_EQ(third.exitCode(), 0);
  WaitForText(first, seen, "nothing more is expected", 1500);
  EXPECT_EQ(seen.count("velloran: "), 1) << seen.toStdString();

  first.terminate();
  if (!first.waitForFinished(10000)) first.kill();
}

class DropTest : public MainWindowTest {
 protected:
  void SetUp() override {
    window->show();
    QApplication::processEvents();
  }
  // Drops `files` at a point of the main window; returns whether it beeped.
  bool Drop(const QStringList& files, const QPoint& at) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& file : files) urls << QUrl::fromLocalFile(file);
    data.setUrls(urls);
    QSignalSpy beeped(window.get(), &TFMain::Beeped);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    return beeped.count() == 1;
  }
  QPoint OnMap() const { return Map()->mapTo(window.get(), Map()->rect().center()); }
  QString Image() const { return QString::fromStdString(CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd").string()); }
};

TEST_F(DropTest, OneFileOnTheMapLoads) {
  EXPECT_FALSE(Drop({Image()}, OnMap()));
  EXPECT_EQ(Disk().CountTracks(), 160);
  EXPECT_EQ(window->CurImageName(), "alfishe_unreal-ng__EyeAche.trd");
}

// A drop on a disk with unsaved changes asks first; the folder of a dropped
// image becomes the load dialog's folder.
TEST_F(DropTest, DropOnAChangedDiskAsksFirst) {
  MakeMarkedTrdosDisk(Disk());
  EXPECT_FALSE(Drop({Image()}, OnMap()));
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].buttons, PromptButtons::SaveDiscardCancel);
  EXPECT_EQ(Disk().GetSector(5, 5).Data[0], 5) << "Cancel keeps the disk";
  prompts.QueueAnswer(PromptAnswer::Discard);
  EXPECT_FALSE(Drop({Image()}, OnMap()));
  EXPECT_EQ(window->CurImageName(), "alfishe_unreal-ng__EyeAche.trd");
  EXPECT_FALSE(window->IsModified());
  EXPECT_EQ(window->Options().Directory_1, CorpusFile("trd").string() + "/");
}

TEST_F(DropTest, TwoFilesOrAFileOutsideTheMapBeep) {
  EXPECT_TRUE(Drop({Image(), Image()}, OnMap()));
  EXPECT_EQ(Disk().CountTracks(), 0);
  const QPoint onLog = Find<QWidget>("Lzx1")->mapTo(window.get(), QPoint(5, 5));
  EXPECT_TRUE(Drop({Image()}, onLog));
  const QPoint onPane = Pane()->mapTo(window.get(), QPoint(20, 20));
  EXPECT_TRUE(Drop({Image()}, onPane));
  EXPECT_EQ(Disk().CountTracks(), 0);
}

TEST_F(DropTest, UnsupportedFileDroppedOnTheMapIsReported) {
  const auto file = dir / "readme.txt";
  WriteFileBytes(file, Bytes{'x'});
  EXPECT_FALSE(Drop({QString::fromStdString(file.string())}, OnMap()));
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].text,
            QString::fromStdString(file.string()) + QStringLiteral(": Этот тип файлов не поддерживается!"));
}

TEST_F(DropTest, HandOffMessagesLoadOrBringForward) {
  window->OnOpenRequest(QByteArray("v") + Image().toUtf8());
  EXPECT_EQ(Disk().CountTracks(), 160);
  EXPECT_EQ(store.Read("Directory_1"), CorpusFile("trd").string() + "/");
  Disk().ClearDisk();
  window->OnOpenRequest("s");
  EXPECT_EQ(Disk().CountTracks(), 0) << "\"s\" only brings the window forward";
}

}  // namespace
}  // namespace velloran::test
