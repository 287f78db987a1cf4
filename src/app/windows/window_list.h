// The tool windows the main window offers, one installer each (defined in
// app/windows/<name>_installer.cpp). A new window is one more line here.
// Included with PELMORA_WINDOW(installer) defined.

PELMORA_WINDOW(installBatchModifyWindow)
PELMORA_WINDOW(installBatchAddWindow)
PELMORA_WINDOW(installSingleAddWindow)
PELMORA_WINDOW(installSettingsWindow)
PELMORA_WINDOW(installAdvancedModifyWindow)
PELMORA_WINDOW(installReportWindow)
PELMORA_WINDOW(installListingExportWindow)
PELMORA_WINDOW(installCalendarExportWindow)
