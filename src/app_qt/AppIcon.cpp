#include "app_qt/AppIcon.h"

#include "app/DesktopId.h"
#include "port/AppFolder.h"

#include <QDir>
#include <QFileInfo>

namespace pendar {

QIcon ApplicationIcon(const port::AppFolders& folders)
{
    const QString id = QString::fromLatin1(kDesktopId);
    QIcon icon = QIcon::fromTheme(id);
    if (!icon.isNull())
        return icon;
    // <share>/pendar/ lies beside <share>/icons/; the build folder's bin/
    // beside its icons/.
    for (const std::string& share : folders.shareFolders) {
        QDir hicolor(QString::fromStdString(share + "../icons/hicolor"));
        for (const QString& size : hicolor.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QString file = hicolor.filePath(size + "/apps/" + id + ".png");
            if (QFileInfo(file).isFile())
                icon.addFile(file);
        }
        if (!icon.isNull())
            break;
    }
    return icon;
}

} // namespace pendar
