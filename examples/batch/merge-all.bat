@echo off
rem Runs one plotmerge per scenario folder, one after the other, in cmd on
rem Windows; the Makefile beside it does the same with make.
rem
rem   merge-all.bat                       plotmerge.exe of the package (two
rem                                       folders up), or else from PATH
rem   set PLOTMERGE=C:\tools\plotmerge.exe
rem   merge-all.bat                       that plotmerge.exe
rem
rem A scenario is a folder beside this file holding its plot files and a file
rem "answers" with the dialogue's answers. Its outputs get fixed names
rem (AVG_CONC.PLT or SUM_CONC.PLT, RISK.PLT), so every merge runs inside its
rem own folder. What a merge writes to standard error goes to merge.log in its
rem folder and is shown with the scenario's name in front. A merge that fails
rem (status 2) is reported, the other scenarios are still merged, and the
rem exit status is then 1.
setlocal
if not defined PLOTMERGE (
    if exist "%~dp0..\..\plotmerge.exe" (
        set "PLOTMERGE=%~dp0..\..\plotmerge.exe"
    ) else (
        set "PLOTMERGE=plotmerge.exe"
    )
)
rem A path is made absolute, since each merge runs in its scenario folder.
if exist "%PLOTMERGE%" for %%p in ("%PLOTMERGE%") do set "PLOTMERGE=%%~fp"
set failed=0
pushd "%~dp0"
for /d %%s in (*) do if exist "%%s\answers" call :merge "%%~fs" "%%~nxs"
popd
exit /b %failed%

:merge
pushd "%~1"
"%PLOTMERGE%" < answers > nul 2> merge.log
set status=%errorlevel%
for /f "usebackq delims=" %%l in ("merge.log") do echo %~2: %%l 1>&2
if %status% neq 0 (
    echo %~2: plotmerge failed with status %status% 1>&2
    set failed=1
) else (
    echo %~2: merged
)
popd
goto :eof
