// The toolbar's images: the desktop icon theme's where it has a fitting one, else a small drawn
// one (a rounded square in the command's colour with the first character of its label), so the
// bar looks whole on a desktop without a theme.
#pragma once

#include <QIcon>
#include <QString>

namespace jollix {

// The image of the toolbar button with this command id and label.
QIcon ToolIcon(int id, const QString& label);

// The drawn image alone: a 32 x 31 rounded square in colour with the character on it.
QIcon DrawnIcon(const QColor& colour, const QString& character);

}  // namespace jollix
