#include "ui/DirWindow.h"

void DirWindow::CmView() {}
void DirWindow::CmAdd() {}
void DirWindow::CmDelete() {}
void DirWindow::CmOptions() {}
void DirWindow::CmLogFile() {}
void DirWindow::CmWavFile() {}
void DirWindow::CmAbout() {}
void DirWindow::RunLogViewer() {}
void DirWindow::OnListDoubleClick() {}
