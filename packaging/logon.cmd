@echo off
rem Tarnwick logon script: name this file as the logon script of the users
rem (the Active Directory logon script field or a Group Policy logon script).
rem It runs tarnwick.exe from the folder this file lies in: the settings
rem file and every relative path in it are found from that folder.
rem pushd makes it the current folder; for a UNC path such as
rem \\server\NETLOGON, which cmd cannot use as its current folder, it maps a
rem free drive letter, and popd removes it again.
setlocal
pushd "%~dp0"
if errorlevel 1 exit /b 1
start "" /wait tarnwick.exe
set status=%errorlevel%
popd
exit /b %status%
