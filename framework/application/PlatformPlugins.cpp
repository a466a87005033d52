#include "framework/application/PlatformPlugins.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>

bool PlatformPluginInstalled(const std::string& name) {
  QStringList folders;
  const QString own = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH");
  if (!own.isEmpty()) folders << own;
  for (const QString& path : QCoreApplication::libraryPaths()) folders << path + QLatin1String("/platforms");

  const QString wanted = QString::fromStdString(name);
  bool anyFolder = false;
  for (const QString& folder : folders) {
    const QDir dir(folder);
    if (!dir.exists()) continue;
    anyFolder = true;
    for (const QString& file : dir.entryList(QDir::Files)) {
      // The metadata is read from the file; the library is not loaded.
      const QJsonObject meta = QPluginLoader(dir.filePath(file)).metaData().value("MetaData").toObject();
      for (const QJsonValue& key : meta.value("Keys").toArray())
        if (key.toString().compare(wanted, Qt::CaseInsensitive) == 0) return true;
    }
  }
  return !anyFolder;
}
