#include "resources.h"

#include <QString>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initDrennixResources()
{
    Q_INIT_RESOURCE(drennix);
}

void ensureResourcesLoaded()
{
    static const bool loaded = [] {
        initDrennixResources();
        return true;
    }();
    (void)loaded;
}

QIcon applicationIcon()
{
    ensureResourcesLoaded();
    QIcon icon;
    for (const int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/icons/drennix-%1.png").arg(size), QSize(size, size));
    return icon;
}

QUrl manualUrl(const QString& anchor)
{
    ensureResourcesLoaded();
    QUrl url(QStringLiteral("qrc:/help/index.html"));
    if (!anchor.isEmpty()) url.setFragment(anchor);
    return url;
}
