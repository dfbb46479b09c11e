#include "ui/catalog_window_support.h"

#include <QApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace velloran {

namespace {

PromptIcon IconOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return PromptIcon::Information;
    case MessageIcon::Warning: return PromptIcon::Warning;
    case MessageIcon::Error: return PromptIcon::Error;
    case MessageIcon::Question: return PromptIcon::Question;
    case MessageIcon::None: break;
  }
  return PromptIcon::None;
}

PromptButtons ButtonsOf(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::YesNo: return PromptButtons::YesNo;
    case MessageButtons::YesNoCancel: return PromptButtons::YesNoCancel;
    case MessageButtons::Ok: break;
  }
  return PromptButtons::Ok;
}

// A little room on both sides of every cell, as list views have it, so
// that a right-aligned text does not touch its left-aligned neighbour.
class CellPadding : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem inset(option);
    initStyleOption(&inset, index);
    // The selection is drawn over the whole cell, the text inside the padding.
    const QString text = inset.text;
    inset.text.clear();
    QStyle* style = inset.widget != nullptr ? inset.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &inset, painter, inset.widget);
    const QPalette::ColorRole role =
        (inset.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
    painter->save();
    painter->setFont(inset.font);
    painter->setPen(inset.palette.color(role));
    painter->drawText(inset.rect.adjusted(3, 0, -3, 0), static_cast<int>(inset.displayAlignment), text);
    painter->restore();
  }
};

QFont MonospaceFont(const char* family, int pointSize, bool bold) {
  QFont font(QString::fromLatin1(family), pointSize, bold ? QFont::Bold : QFont::Normal);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  return font;
}

}  // namespace

PromptAnswer ShowMessage(Prompts& prompts, const Message& message) {
  return prompts.Message(QtText(RenderMessageBody(ProcessLanguage(), message)), QtText(message.Caption),
                         IconOf(message.Icon), ButtonsOf(message.Buttons));
}

bool AskTextDialog(Prompts& prompts, const TextDialog& dialog, QString& text) {
  TextRequest request;
  request.caption = QtText(dialog.Caption);
  request.text = QtText(dialog.Text);
  request.label = QtText(dialog.Label);
  request.maxLength = dialog.MaxLength;
  request.acceptButton = QtText(dialog.AcceptButton);
  request.cancelButton = QtText(dialog.CancelButton);
  text = QtText(dialog.InitialText);
  return prompts.AskText(request, text);
}

void RememberFolderSetting(Document& document, const std::string& key, const std::filesystem::path& folder) {
  const std::string text = FolderText(folder);
  std::string& held = key == "HobetaDir" ? document.Options().HobetaDir : document.Options().SCLDir;
  if (held == text) return;
  held = text;
  SaveFolderSetting(document.Store(), key, text);
}

QFont CourierNewFont(int pointSize, bool bold) { return MonospaceFont("Courier New", pointSize, bold); }

QFont TerminalFont(int pointSize) { return MonospaceFont("Terminal", pointSize, false); }

QTreeWidget* MakeCatalogList(QWidget* parent, std::span<const ListColumn> columns, TranslatedTexts& texts) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(QStringLiteral("LV1"));
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setFont(CourierNewFont());
  list->setItemDelegate(new CellPadding(list));
  list->setColumnCount(static_cast<int>(columns.size()));
  list->header()->setSectionsClickable(false);
  list->header()->setStretchLastSection(false);
  int width = 0;
  for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
    texts.Header(list, i, columns[i].title);
    list->setColumnWidth(i, columns[i].width);
    list->headerItem()->setTextAlignment(i, columns[i].alignment);
    width += columns[i].width;
  }
  const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
  list->setMinimumWidth(width + 2 * list->frameWidth() + scrollBar);
  return list;
}

QMenu* MakeListMenu(QTreeWidget* list) {
  auto* menu = new QMenu(list);
  menu->setObjectName(QStringLiteral("pm1"));
  QObject::connect(list, &QWidget::customContextMenuRequested, menu,
                   [list, menu](const QPoint& at) { menu->popup(list->viewport()->mapToGlobal(at)); });
  return menu;
}

QAction* AddMenuItem(QMenu* menu, const char* name, const QString& caption) {
  QAction* item = menu->addAction(caption);
  item->setObjectName(QString::fromLatin1(name));
  return item;
}

QLabel* AddInformationLine(QGridLayout* grid, const char* caption, const QString& name, TranslatedTexts& texts) {
  const int line = grid->rowCount();
  auto* captionLabel = new QLabel;
  texts.Text(captionLabel, caption);
  grid->addWidget(captionLabel, line, 0);
  auto* value = new QLabel;
  value->setObjectName(name);
  value->setFont(CourierNewFont(9, true));
  value->setAlignment(Qt::AlignCenter);
  value->setMinimumWidth(90);
  grid->addWidget(value, line, 1);
  return value;
}

void AddCatalogRow(QTreeWidget* list, std::span<const ListColumn> columns, const QStringList& texts) {
  auto* item = new QTreeWidgetItem(list, texts);
  for (int i = 0; i < static_cast<int>(columns.size()); ++i) item->setTextAlignment(i, columns[i].alignment);
}

}  // namespace velloran
