#include "shell/ToolIcons.h"

#include <QPainter>
#include <QPixmap>

#include "shell/ChannelCommands.h"

namespace jollix {
namespace {

struct IconStyle {
  int Id;
  const char* ThemeName;
  QRgb Colour;
};

constexpr IconStyle kStyles[] = {
    {32796, "user-desktop", 0x2E7D32},
    {32821, "applications-internet", 0x1565C0},
    {32833, "internet-news-reader", 0xC62828},
    {32802, "x-office-document", 0x6A1B9A},
    {32811, "audio-x-generic", 0xAD1457},
    {32843, "accessories-dictionary", 0x00838F},
    {32849, "system-software-install", 0x4E342E},
    {32858, "weather-few-clouds", 0xEF6C00},
    {kPreviousPageCommand, "go-previous", 0x455A64},
    {kNextPageCommand, "go-next", 0x455A64},
    {kSettingsCommand, "preferences-system", 0x546E7A},
    {kHelpCommand, "help-contents", 0x0277BD},
    {kExitCommand, "application-exit", 0x8E2424},
};

}  // namespace

QIcon DrawnIcon(const QColor& colour, const QString& character) {
  QPixmap pixmap(32, 31);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawRoundedRect(QRectF(1.5, 1.5, 29, 28), 6, 6);
  painter.setPen(Qt::white);
  QFont font = painter.font();
  font.setPixelSize(18);
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(pixmap.rect(), Qt::AlignCenter, character);
  return QIcon(pixmap);
}

QIcon ToolIcon(int id, const QString& label) {
  for (const IconStyle& style : kStyles) {
    if (style.Id != id) continue;
    const QIcon drawn = DrawnIcon(QColor::fromRgb(style.Colour), label.left(1));
    return QIcon::fromTheme(QString::fromLatin1(style.ThemeName), drawn);
  }
  return DrawnIcon(Qt::darkGray, label.left(1));
}

}  // namespace jollix
