#include "tests/framework/FrameworkTestSupport.h"

#include <QImage>

const TResponseTableEntry TRecordingWindow::Responses[] = {
    {WM_TIMER, 0, v_WPARAM_Dispatch<&TRecordingWindow::EvTimer>},
    {WM_PAINT, 0, v_Dispatch<&TRecordingWindow::EvPaint>},
    {WM_SIZE, 0, v_U_POINT_Dispatch<&TRecordingWindow::EvSize>},
    {WM_TEST, 0, v_Dispatch<&TRecordingWindow::EvUser>},
    {WM_TEST2, 0, v_Dispatch<&TRecordingWindow::EvUser2>},
    {0, CM_HELPABOUT, v_Dispatch<&TRecordingWindow::CmAbout>},
    {0, 0, nullptr},
};

bool TRecordingWindow::Find(TEventInfo& info) {
  return SearchEntries(Responses, info) || TFrameWindow::Find(info);
}

void TRecordingWindow::ClientImageReplaced(QImage& image) {
  replacedImages.push_back(image.size());
  // The handler of WM_SIZE must find the new image in place already.
  EXPECT_EQ(&image, &ClientImage());
}
