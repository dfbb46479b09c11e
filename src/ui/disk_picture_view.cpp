#include "ui/disk_picture_view.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "common/utf8_path.h"
#include "plot/disk_picture.h"
#include "plot/plot_file.h"
#include "plot/png_writer.h"
#include "ui/prompts.h"
#include "ui/scene_painter.h"

namespace velloran {

namespace {

// The size of a saved picture, whatever the size of the view.
constexpr int kSavedWidth = 1000, kSavedHeight = 560;

}  // namespace

DiskPictureView::DiskPictureView(const TZX_Disk& disk, Prompts& prompts, QWidget* parent)
    : QWidget(parent), disk_(disk), prompts_(prompts) {
  setObjectName(QStringLiteral("DiskPictureView"));
  auto* layout = new QVBoxLayout(this);
  picture_ = new ScenePlot(this);
  picture_->setObjectName(QStringLiteral("diskPicture"));
  picture_->setMinimumSize(420, 260);
  picture_->SetBuilder([this](int w, int h) { return DiskPictureScene(disk_, w, h); });
  auto* save = new QPushButton(QStringLiteral("Сохранить картину..."), this);
  save->setObjectName(QStringLiteral("diskPictureSave"));
  connect(save, &QPushButton::clicked, this, &DiskPictureView::SavePicture);
  layout->addWidget(picture_, 1);
  layout->addWidget(save, 0, Qt::AlignRight);
}

void DiskPictureView::Reload() { picture_->update(); }

void DiskPictureView::SavePicture() {
  FileDialogRequest request;
  request.title = QStringLiteral("Сохранить картину");
  request.fileName = QStringLiteral("disk");
  request.filters = SplitFilterList(PngAvailable() ? QStringLiteral("PNG (*.png)|*.png|SVG (*.svg)|*.svg")
                                                   : QStringLiteral("SVG (*.svg)|*.svg"));
  request.defaultSuffix = PngAvailable() ? QStringLiteral("png") : QStringLiteral("svg");
  request.suffixForFilter = [](int index) {
    return index == 1 && PngAvailable() ? QStringLiteral("png") : QStringLiteral("svg");
  };
  const FileDialogResult chosen = prompts_.SaveFile(request);
  if (!chosen.accepted || chosen.files.isEmpty()) return;
  std::string error;
  if (!WritePlotFile(DiskPictureScene(disk_, kSavedWidth, kSavedHeight),
                     PathFromUtf8(chosen.files.front().toStdString()), error))
    prompts_.Error(QString::fromStdString(error));
}

}  // namespace velloran
