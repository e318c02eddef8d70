// Placeholder shell so the tree links; replaced by the real shell.
#include "app.h"
HINSTANCE AppInstance;
HWND MainWindow;
HBRUSH BackgroundBrush;
short BaseUnitX, BaseUnitY;
HWND PicturePropertiesGroup, PictureFileLabel, PictureFileEdit, PictureBrowseButton,
    PreviewFrame, GridSizeLabel, GridSizeField, ShuffleCheckBox, WinUrlLabel, WinUrlEdit;
HWND AboutBoxGroup, CompanyNameLabel, CompanyNameEdit, WebSiteLabel, WebSiteEdit,
    TagLineLabel, TagLineEdit, TargetLabel, TargetPathEdit, TargetBrowseButton, StatusText,
    CreateTargetButton;
VnImage* PreviewImage;
HBITMAP PreviewBitmap;
BITMAP PreviewBitmapInfo;
int GridSize;
OPENFILENAMEA FileDialogRecord;
char FileNameBuffer[256];
int VornixMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
