// The program's embedded resources: the application icon and the manual.
#pragma once

#include <QIcon>
#include <QUrl>

// Makes the embedded resources available (they live in a static library).
void ensureResourcesLoaded();

QIcon applicationIcon();

// The manual's page, at `anchor` when one is given.
QUrl manualUrl(const QString& anchor = QString());
