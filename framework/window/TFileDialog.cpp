#include "framework/window/TFileDialog.h"

#include <QFileDialog>
#include <QStringList>

#include "framework/window/TWindow.h"

std::string AskSaveFileName(TWindow& owner, const std::string& caption, const std::string& start,
                            const std::vector<std::string>& filters) {
  QStringList kinds;
  for (const std::string& filter : filters) kinds << QString::fromStdString(filter);
  const QString chosen =
      QFileDialog::getSaveFileName(owner.TopLevelWidget(), QString::fromStdString(caption),
                                   QString::fromStdString(start), kinds.join(QLatin1String(";;")));
  return chosen.toStdString();
}
