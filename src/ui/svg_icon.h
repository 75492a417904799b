#pragma once

#include <QIcon>
#include <QString>

// An icon drawn from an SVG file at whatever size and scale it is shown, without looking for an
// icon plugin (quicker at start, and it cannot go missing with the plugin package).
QIcon svgIcon(const QString& fileName);
