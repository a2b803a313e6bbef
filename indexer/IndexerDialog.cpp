#include "indexer/IndexerDialog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QVBoxLayout>

#include "common/QtPrompter.h"
#include "indexer/IndexRun.h"

namespace jollix {
namespace {

constexpr int kTimerMs = 2000;

// A small painted icon: a rounded square in one colour with one character on it.
QIcon LetterIcon(QColor colour, const QString& letter) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(colour);
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(1, 1, 30, 30, 6, 6);
  painter.setPen(Qt::white);
  QFont font = painter.font();
  font.setPixelSize(20);
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(pixmap.rect(), Qt::AlignCenter, letter);
  return QIcon(pixmap);
}

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

QPushButton* Button(int id, const char16_t* text, QWidget* parent) {
  auto* button = new QPushButton(Text(text), parent);
  button->setObjectName(QString("control%1").arg(id));
  button->setAutoDefault(false);  // Enter ends the dialog instead of pressing a button
  return button;
}

QLabel* Label(int id, const char16_t* text, QWidget* parent) {
  auto* label = new QLabel(Text(text), parent);
  label->setObjectName(QString("control%1").arg(id));
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);  // long folder paths
  return label;
}

}  // namespace

CIndexerDialog::CIndexerDialog(ScanProgress& progress, Prompter& prompter, EndFunction end)
    : progress_(progress), prompter_(prompter), end_(std::move(end)) {
  setObjectName("dialog102");
  // A tool window has no taskbar button.
  setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setWindowTitle(Text(u"Jollix超级搜索桌面索引器"));
  setWindowIcon(LetterIcon(QColor(0x1E, 0x5A, 0xA8), Text(u"J")));
  CreateControls();
  CreateTrayIcon();
  SendToBackground();
  timer_ = new QTimer(this);
  connect(timer_, &QTimer::timeout, this, &CIndexerDialog::Tick);
  timer_->start(kTimerMs);
}

void CIndexerDialog::CreateControls() {
  entries_ = Label(1004, u"系统已经对      个文件建立索引", this);
  folder_ = Label(1005, u"正在扫描文件夹：", this);
  percent_ = Label(1006, u"约完成索引任务的  %", this);
  bar_ = new QProgressBar(this);
  bar_->setObjectName("control1003");
  bar_->setRange(0, 100);
  bar_->setValue(0);
  bar_->setTextVisible(false);
  QPushButton* background = Button(1009, u"后台索引", this);
  QPushButton* help = Button(1010, u"显示帮助", this);  // no action
  QPushButton* quit = Button(1008, u"退出索引", this);
  connect(background, &QPushButton::clicked, this, &CIndexerDialog::SendToBackground);
  connect(quit, &QPushButton::clicked, this, &CIndexerDialog::AskToQuit);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(background);
  buttons->addWidget(help);
  buttons->addWidget(quit);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(entries_);
  layout->addWidget(folder_);
  layout->addWidget(percent_);
  layout->addWidget(bar_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetNoConstraint);
}

void CIndexerDialog::CreateTrayIcon() {
  menu_ = new QMenu(this);
  menu_->setObjectName("menu130");
  connect(menu_->addAction(Text(u"显示进度")), &QAction::triggered, this,
          &CIndexerDialog::ShowProgress);
  menu_->addAction(Text(u"显示帮助"));  // no action
  connect(menu_->addAction(Text(u"退出索引")), &QAction::triggered, this,
          &CIndexerDialog::AskToQuit);
  // The icon's own picture, distinct from the window icon. Its context menu opens on the right
  // button; other clicks do nothing.
  tray_ = new QSystemTrayIcon(LetterIcon(QColor(0x2E, 0x8B, 0x57), Text(u"索")), this);
  tray_->setToolTip(Text(u"Jollix文件搜索索引器"));
  tray_->setContextMenu(menu_);
  if (QSystemTrayIcon::isSystemTrayAvailable()) tray_->show();
}

void CIndexerDialog::ShowProgress() {
  setGeometry(200, 200, 380, 160);
  show();
  raise();
}

void CIndexerDialog::SendToBackground() {
  hide();
  setGeometry(0, 0, 0, 0);
}

void CIndexerDialog::AskToQuit() {
  PromptAnswer answer =
      prompter_.Ask("索引没有完成，您确定退出索引吗？", "退出索引?", PromptButtons::kOkCancel);
  if (answer == PromptAnswer::kOk) reject();
}

void CIndexerDialog::Tick() {
  ProgressTexts texts = MakeProgressTexts(progress_);
  bar_->setValue(texts.Position);
  entries_->setText(QStringFromGbk(texts.Entries));
  folder_->setText(QStringFromGbk(texts.Folder));
  percent_->setText(QStringFromGbk(texts.Percent));
  if (progress_.Finished) end_(0);
}

void CIndexerDialog::done(int result) {
  QDialog::done(result);
  end_(kQuitExitCode);
}

void CIndexerDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    accept();
    return;
  }
  QDialog::keyPressEvent(event);  // Escape rejects
}

}  // namespace jollix
