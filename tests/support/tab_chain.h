#pragma once

#include <QStringList>
#include <QWidget>

// The page's controls that Tab reaches, in the order it reaches them.
inline QStringList tabChain(QWidget& page)
{
    QStringList names;
    for (QWidget* w = page.nextInFocusChain(); w != &page; w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            names << w->objectName();
    }
    return names;
}
