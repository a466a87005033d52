// Saving the picture to a file: "Save picture as..." asks for a name with
// the toolkit's dialog, and the name's extension chooses the format (a name
// without one of PNG, SVG or PDF gets ".png"). The save itself runs in
// slices (window/PictureSave.h), one at a time; its failures show a box.

#include <sys/stat.h>

#include "framework/window/TFileDialog.h"
#include "stream/DisplayState.h"
#include "window/Commands.h"
#include "window/TZorvaWindow.h"

void TZorvaWindow::CeSave(TCommandEnabler& enabler) { enabler.Enable(!save); }

void TZorvaWindow::CmSave() {
  if (save) return;
  std::string path = AskSaveFileName(*this, "Save picture as", lastSaveName.empty() ? "picture.png" : lastSaveName,
                                     {"PNG image (*.png)", "SVG picture (*.svg)", "PDF document (*.pdf)"});
  // Cancelled, or the window was closed while the dialog was up.
  if (path.empty() || !HWindow) return;
  PictureFormat format;
  if (!PictureFormatOf(path, format)) {
    path += ".png";
    // The dialog asked only about the name as it was typed.
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 &&
        MessageBox((path + " already exists.\nDo you want to replace it?").c_str(), appName(),
                   MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
      return;
    if (!HWindow) return;
  }
  lastSaveName = path;
  SavePicture(path);
}

bool TZorvaWindow::SavePicture(const std::string& path) {
  if (save) return false;
  PictureFormat format = PictureFormat::Png;
  PictureFormatOf(path, format);
  // Never over the command file, through whatever name.
  std::vector<FileId> inputs;
  if (FileId self; FileIdOfFd(conID, self)) inputs.push_back(self);
  const TSize size = GetClientSize();
  saveName = path;
  save = std::make_unique<PictureSave>();
  if (!save->Begin(format, path, ClientPixels(), state, size.cx, size.cy, view, inputs)) {
    endSave();
    return true;
  }
  EvSaveContinue();
  return true;
}

void TZorvaWindow::EvSaveContinue() {
  if (!save) return;
  const bool readsList = save->ReadsList();
  if (save->Run(SlicedReplay::Clock::now() + slice)) {
    endSave();
  } else {
    PostAfterEvents(WM_SAVE_CONTINUE);
    if (readsList && !save->ReadsList()) runWaiting();  // the stream may go on
  }
}

void TZorvaWindow::endSave() {
  const ExportResult result = save->Result();
  save.reset();
  runWaiting();
  if (result.status != ExportResult::Written)
    MessageBox(("The picture could not be saved to " + saveName + ":\n" + result.reason).c_str(), appName(),
               MB_OK | MB_ICONEXCLAMATION);
}
