@echo off
rem Von Palvo geschrieben: fuegt die Teile wieder zu der Datei zusammen, aus der sie geschnitten
rem wurden, und prueft dabei jedes Byte. Geschrieben in Codepage 850; bis cmd auf sie
rem umgestellt ist, steht hier nichts als ASCII.
setlocal EnableExtensions DisableDelayedExpansion
for %%V in (Vorher Lesen Gesperrt Verwaist Alt Angelegt Nachpruefen Beschaedigt Ist Summe Zeile Fremd Gleich Halb Wort Probe) do set "%%V="
set "Codepage=850"
set "Ergebnis=1"
rem Was certutil sagt, steht bei den Teilen, die ein Zusammenfuegen zugleich nur einmal nimmt,
rem unter einem Namen ganz aus ASCII fuer diese Datei.
set "Ausgabe=palvo-e3828d7ea1196c07.txt"
for /f "tokens=*" %%C in ('"%SystemRoot%\System32\chcp.com"') do call :CodepageLesen Vorher %%C
if defined Vorher "%SystemRoot%\System32\chcp.com" %Codepage% >nul 2>&1
for /f "tokens=*" %%C in ('"%SystemRoot%\System32\chcp.com"') do call :CodepageLesen Lesen %%C
if not defined Lesen for /f "tokens=*" %%C in ('"%SystemRoot%\System32\reg.exe" query HKLM\SYSTEM\CurrentControlSet\Control\Nls\CodePage /v OEMCP 2^>nul') do call :CodepageLesen Lesen %%C
(call )
pushd "%~dp0" 2>nul
if errorlevel 1 goto OrdnerFehlt
rem Windows erreicht Dateien bis 259 Zeichen und legt Ordner bis 247 an: Dieser Ordner muss den
rem Namen unten Platz lassen.
if not "%CD:~232%"=="" goto PfadZuLang
for /l %%V in (1,1,3) do if not defined Gesperrt call :Sperren 2>nul
if "%Gesperrt%"=="anderswo" goto LaeuftSchon
if not defined Gesperrt if exist "film.avi.palvo" goto OrdnerImWeg
if not defined Gesperrt goto NichtBeschreibbar
call :AusgabeLoeschen
del /f /q "film.avi.palvo\sperre" 2>nul
rd "film.avi.palvo" 2>nul
goto Ende

:CodepageLesen
rem Setzt die Variable %1 auf die Zahl, mit der die uebrigen Woerter enden (eine Zeile von chcp
rem oder reg), in welcher Sprache sie auch stehen; steht dort keine Zahl ausser 0, bleibt sie leer.
set "Wort="
for %%W in (%*) do set "Wort=%%~W"
if defined Wort set "Wort=%Wort:.=%"
if defined Wort for /f "delims=0123456789" %%X in ("%Wort%") do set "Wort="
if "%Wort%"=="0" set "Wort="
if defined Wort set "%~1=%Wort%"
exit /b

:FremdeCodepage
if defined Lesen echo Diese Batch-Datei ist in Codepage %Codepage% geschrieben, dieses Fenster liest sie aber in Codepage %Lesen%, und die Umstellung ist nicht gelungen.
if not defined Lesen echo Diese Batch-Datei ist in Codepage %Codepage% geschrieben, dieses Fenster liest sie aber in einer anderen, und die Umstellung ist nicht gelungen.
echo Die Namen darin wuerden falsch gelesen. Es wurde nichts zusammengefuegt.
echo Bitte oeffnen Sie eine Eingabeaufforderung, geben Sie "chcp %Codepage%" ein und starten Sie "%~f0" darin noch einmal.
goto Zurueck

:OrdnerFehlt
echo Der Ordner von "%~f0" ist nicht erreichbar. Es wurde nichts zusammengefügt.
goto Zurueck

:Sperren
rem Nur ein Zusammenfügen zugleich: Es legt seinen Ordner an und hält die Sperrdatei darin offen,
rem solange es läuft. Eine Sperrdatei, die niemand offen hält, hat ein abgebrochenes hinterlassen;
rem steht darin, dass es zu kopieren begann, ist auch die halbe Datei unter dem Arbeitsnamen seine.
rem Einen Ordner, der mehr hält als eine Sperrdatei oder keine, rührt es nicht an: Er ist nicht seiner.
rem Was nicht sagt, ob es gelungen ist (ren, del, mkdir), wird danach nachgesehen.
set "Alt="
set "Fremd="
set "Angelegt="
if exist "film.avi.palvo\sperre" call :FremdesImOrdner
if defined Fremd exit /b
if exist "film.avi.palvo\sperre" set "Alt=ja" & for /f "usebackq tokens=1" %%Z in ("film.avi.palvo\sperre") do if "%%Z"=="Arbeitsdatei" set "Verwaist=ja"
if defined Alt del /f /q "film.avi.palvo\sperre" 2>nul
if exist "film.avi.palvo\sperre" set "Gesperrt=anderswo" & exit /b
if defined Alt call :AusgabeLoeschen
if defined Alt rd "film.avi.palvo" 2>nul
if exist "film.avi.palvo" exit /b
mkdir "film.avi.palvo" 2>nul && set "Angelegt=ja"
if defined Angelegt call :Zusammenfuegen 2>"film.avi.palvo\sperre"
rem Ein Ordner, in dem die Sperrdatei sich nicht anlegen ließ, ist seiner und geht wieder.
if defined Angelegt if not defined Gesperrt rd "film.avi.palvo" 2>nul
exit /b

:FremdesImOrdner
rem Setzt Fremd, wenn der Ordner der Sperre anderes hält als sie. Nur wo eine Sperre zu löschen
rem wäre: Hineinzugehen hielte ein Zusammenfügen auf, das den Ordner gerade anlegt oder entfernt.
(call )
pushd "film.avi.palvo" 2>nul
if errorlevel 1 set "Fremd=ja" & exit /b
for %%F in (*) do if /i not "%%~nxF"=="sperre" set "Fremd=ja"
for /d %%F in (*) do set "Fremd=ja"
popd
exit /b

:LaeuftSchon
echo Diese Teile werden gerade schon zu "film.avi" zusammengefügt, in einem anderen Fenster.
echo Bitte warten Sie, bis es fertig ist. Hier wurde nichts verändert.
goto Ende

:OrdnerImWeg
echo Im Ordner "%CD%" steht "film.avi.palvo" im Weg: Unter diesem Namen legt die Batch-Datei beim Zusammenfügen einen Ordner an.
echo Bitte verschieben oder löschen Sie es und starten Sie "%~nx0" dann noch einmal. Es wurde nichts zusammengefügt.
goto Ende

:NichtBeschreibbar
echo Im Ordner "%CD%" lässt sich nichts anlegen: Der Datenträger ist schreibgeschützt oder voll.
echo Bitte kopieren Sie die Teile und "%~nx0" in einen Ordner, in dem Platz ist, und starten Sie "%~nx0" dort. Es wurde nichts zusammengefügt.
goto Ende

:PfadZuLang
echo Der Pfad des Ordners "%CD%" ist zu lang: Mit den Namen der Teile wäre er länger, als Windows erlaubt.
echo Bitte kopieren Sie die Teile und "%~nx0" in einen Ordner mit kürzerem Pfad, etwa "C:\Teile", und starten Sie "%~nx0" dort. Es wurde nichts zusammengefügt.
goto Ende

:SummeLesen
rem Setzt Summe auf die Prüfsumme, die certutil schrieb: die Zeile aus nichts als Hexziffern und
rem Leerzeichen, ohne diese 64 Ziffern lang, in welcher Sprache die Zeilen um sie auch stehen.
rem Keine Zeile wird als Befehl gelesen, ehe sie als eine solche erkannt ist.
set "Summe="
for /f "usebackq tokens=*" %%Z in ("%Ausgabe%") do (
  set "Zeile=%%Z"
  call :SummeInZeile
)
exit /b

:SummeInZeile
if defined Summe exit /b
set "Zeile=%Zeile:"=%"
set "Fremd="
for /f "delims=0123456789abcdefABCDEF " %%R in ("%Zeile%") do set "Fremd=ja"
if defined Fremd exit /b
set "Zeile=%Zeile: =%"
if not "%Zeile:~63%"=="" if "%Zeile:~64%"=="" set "Summe=%Zeile%"
exit /b

:Ende
popd
:Zurueck
if defined Vorher "%SystemRoot%\System32\chcp.com" %Vorher% >nul 2>&1
pause
exit /b %Ergebnis%

:Zusammenfuegen
set "Gesperrt=ja"
set "Ist="
:Teile
for %%L in ("film.001") do if not "%%~zL"=="1433600" set "Ist= %%~zL"
if "%Ist%"==" " echo Das Teil "film.001" fehlt. & goto TeilFalsch
if defined Ist if exist "film.001\*" echo "film.001" ist ein Ordner, kein Teil. & goto TeilFalsch
if defined Ist echo Das Teil "film.001" hat%Ist% Bytes, es muss genau 1433600 Bytes haben. & goto TeilFalsch
if not defined Nachpruefen goto T001
set "Gleich=" & set "Halb="
"%SystemRoot%\System32\certutil.exe" -hashfile "film.001" SHA256 >"%Ausgabe%" 2>nul
for /f "usebackq tokens=1-16" %%A in ("%Ausgabe%") do if /i "%%A%%B%%C%%D%%E%%F%%G%%H%%I%%J%%K%%L%%M%%N%%O%%P"=="1111111111111111111111111111111111111111111111111111111111111111" set "Gleich=ja"
for /f "usebackq tokens=1-16" %%A in ("%Ausgabe%") do if /i "%%A%%B%%C%%D%%E%%F%%G%%H%%I%%J%%K%%L%%M%%N%%O%%P"=="11111111111111111111111111111111" set "Halb=ja"
if defined Halb for /f "usebackq tokens=17-32" %%A in ("%Ausgabe%") do if /i "%%A%%B%%C%%D%%E%%F%%G%%H%%I%%J%%K%%L%%M%%N%%O%%P"=="11111111111111111111111111111111" set "Gleich=ja"
if not defined Gleich echo Das Teil "film.001" ist beschädigt: Es ist nicht mehr das Teil, das Palvo geschrieben hat. & set "Beschaedigt=ja"
:T001
for %%L in ("film.002") do if not "%%~zL"=="1433600" set "Ist= %%~zL"
if "%Ist%"==" " echo Das Teil "film.002" fehlt. & goto TeilFalsch
if defined Ist if exist "film.002\*" echo "film.002" ist ein Ordner, kein Teil. & goto TeilFalsch
if defined Ist echo Das Teil "film.002" hat%Ist% Bytes, es muss genau 1433600 Bytes haben. & goto TeilFalsch
if not defined Nachpruefen goto T002
set "Gleich=" & set "Halb="
"%SystemRoot%\System32\certutil.exe" -hashfile "film.002" SHA256 >"%Ausgabe%" 2>nul
for /f "usebackq tokens=1-16" %%A in ("%Ausgabe%") do if /i "%%A%%B%%C%%D%%E%%F%%G%%H%%I%%J%%K%%L%%M%%N%%O%%P"=="2222222222222222222222222222222222222222222222222222222222222222" set "Gleich=ja"
for /f "usebackq tokens=1-16" %%A in ("%Ausgabe%") do if /i "%%A%%B%%C%%D%%E%%F%%G%%H%%I%%J%%K%%L%%M%%N%%O%%P"=="22222222222222222222222222222222" set "Halb=ja"
if defined Halb for /f "usebackq tokens=17-32" %%A in ("%Ausgabe%") do if /i "%%A%%B%%C%%D%%E%%F%%G%%H%%I%%J%%K%%L%%M%%N%%O%%P"=="22222222222222222222222222222222" set "Gleich=ja"
if not defined Gleich echo Das Teil "film.002" ist beschädigt: Es ist nicht mehr das Teil, das Palvo geschrieben hat. & set "Beschaedigt=ja"
:T002
for %%L in ("film.003") do if not "%%~zL"=="132800" set "Ist= %%~zL"
if "%Ist%"==" " echo Das Teil "film.003" fehlt. & goto TeilFalsch
if defined Ist if exist "film.003\*" echo "film.003" ist ein Ordner, kein Teil. & goto TeilFalsch
if defined Ist echo Das Teil "film.003" hat%Ist% Bytes, es muss genau 132800 Bytes haben. & goto TeilFalsch
if not defined Nachpruefen goto T003
set "Gleich=" & set "Halb="
"%SystemRoot%\System32\certutil.exe" -hashfile "film.003" SHA256 >"%Ausgabe%" 2>nul
for /f "usebackq tokens=1-16" %%A in ("%Ausgabe%") do if /i "%%A%%B%%C%%D%%E%%F%%G%%H%%I%%J%%K%%L%%M%%N%%O%%P"=="3333333333333333333333333333333333333333333333333333333333333333" set "Gleich=ja"
for /f "usebackq tokens=1-16" %%A in ("%Ausgabe%") do if /i "%%A%%B%%C%%D%%E%%F%%G%%H%%I%%J%%K%%L%%M%%N%%O%%P"=="33333333333333333333333333333333" set "Halb=ja"
if defined Halb for /f "usebackq tokens=17-32" %%A in ("%Ausgabe%") do if /i "%%A%%B%%C%%D%%E%%F%%G%%H%%I%%J%%K%%L%%M%%N%%O%%P"=="33333333333333333333333333333333" set "Gleich=ja"
if not defined Gleich echo Das Teil "film.003" ist beschädigt: Es ist nicht mehr das Teil, das Palvo geschrieben hat. & set "Beschaedigt=ja"
:T003
if defined Nachpruefen goto Nachgeprueft
if exist "film.avi" goto ZielDa
if exist "film.avi.unfertig\*" goto ArbeitsdateiImWeg
if exist "film.avi.unfertig" if not defined Verwaist goto ArbeitsdateiImWeg
if exist "film.avi.unfertig" del /f /q "film.avi.unfertig"
if exist "film.avi.unfertig" goto NichtGeloescht
call :AusgabeProbieren >nul 2>nul
if not defined Summe call :AusgabeLoeschen
if not defined Summe goto KeineAusgabe
>&2 echo Arbeitsdatei
copy /b film.001 + film.002 + film.003 film.avi.unfertig
if errorlevel 1 goto NichtGeschrieben
for %%L in ("film.avi.unfertig") do if not "%%~zL"=="3000000" goto NichtGeschrieben
"%SystemRoot%\System32\certutil.exe" -hashfile "film.avi.unfertig" SHA256 >"%Ausgabe%" 2>nul
call :SummeLesen
if not defined Summe goto OhnePruefsumme
if /i "%Summe%"=="abababababababababababababababababababababababababababababababab" goto Geprueft
del /f /q "film.avi.unfertig"
if exist "film.avi.unfertig" goto NichtGeloescht
echo Die zusammengefügte Datei ist nicht Byte für Byte die Datei "film.avi", die Palvo zerlegt hat.
echo Jedes Teil wird nun einzeln geprüft.
set "Nachpruefen=ja"
goto Teile

:AusgabeProbieren
rem Nur wo eine Prüfsumme sich schreiben und wieder lesen lässt, sagt eine fehlende, dass certutil
rem keine lieferte. Die Datei hält den Platz für certutils Antwort, den das Zusammenfügen sonst
rem füllen könnte.
>"%Ausgabe%" echo 0000000000000000000000000000000000000000000000000000000000000000
call :SummeLesen
exit /b

:AusgabeLoeschen
rem del leert einen Ordner: Einer dieses Namens ist nicht seiner.
if not exist "%Ausgabe%\*" del /f /q "%Ausgabe%" 2>nul
exit /b

:KeineAusgabe
echo Was certutil zur Prüfung sagt, lässt sich im Ordner "%CD%" nicht speichern, vielleicht ist der Datenträger voll.
echo Bitte schaffen Sie Platz und starten Sie "%~nx0" dann noch einmal. Es wurde nichts zusammengefügt.
exit /b

:Nachgeprueft
if not defined Beschaedigt echo Jedes Teil für sich ist unversehrt; beim Zusammenfügen ist etwas schiefgegangen.
echo Bitte kopieren Sie die Teile noch einmal vollständig in den Ordner "%CD%" und starten Sie "%~nx0" dann noch einmal.
echo Es wurde nichts zusammengefügt.
exit /b

:Geprueft
ren "film.avi.unfertig" "film.avi" 2>nul
if exist "film.avi.unfertig" goto NichtUmbenannt
echo Die Datei "film.avi" ist zusammengefügt und geprüft: Sie ist Byte für Byte die Datei, die Palvo zerlegt hat.
set "Ergebnis=0"
exit /b

:OhnePruefsumme
ren "film.avi.unfertig" "film.avi" 2>nul
if exist "film.avi.unfertig" goto NichtUmbenannt
if not exist "%SystemRoot%\System32\certutil.exe" echo Die Datei "film.avi" ist zusammengefügt. Ihr Inhalt wurde nicht geprüft, weil es auf diesem Windows kein certutil gibt; geprüft ist nur die Länge jedes Teils.
if exist "%SystemRoot%\System32\certutil.exe" echo Die Datei "film.avi" ist zusammengefügt. Ihr Inhalt wurde nicht geprüft, weil certutil keine Prüfsumme lieferte; geprüft ist nur die Länge jedes Teils.
set "Ergebnis=0"
exit /b

:NichtUmbenannt
del /f /q "film.avi.unfertig"
if exist "film.avi.unfertig" goto NichtGeloescht
if exist "film.avi" goto ZielDa
echo Die zusammengefügte Datei ließ sich nicht in "film.avi" umbenennen und wurde wieder gelöscht.
echo Es wurde nichts zusammengefügt.
exit /b

:NichtGeloescht
echo Die Datei "film.avi.unfertig" ließ sich nicht löschen, vielleicht hält ein anderes Programm sie offen.
echo Bitte löschen Sie sie selbst und starten Sie "%~nx0" dann noch einmal. Es wurde nichts zusammengefügt.
exit /b

:TeilFalsch
echo Bitte kopieren Sie alle Teile vollständig in den Ordner "%CD%" und starten Sie "%~nx0" dann noch einmal.
echo Es wurde nichts zusammengefügt.
exit /b

:ZielDa
echo Die Datei "film.avi" gibt es in diesem Ordner schon.
echo Bitte verschieben Sie sie zuerst an einen anderen Ort oder benennen Sie sie um und starten Sie "%~nx0" dann noch einmal.
echo Es wurde nichts zusammengefügt.
exit /b

:ArbeitsdateiImWeg
echo Im Ordner "%CD%" steht "film.avi.unfertig" im Weg: Unter diesem Namen entsteht die Datei beim Zusammenfügen.
echo Bitte verschieben oder löschen Sie es und starten Sie "%~nx0" dann noch einmal. Es wurde nichts zusammengefügt.
exit /b

:NichtGeschrieben
if exist "film.avi.unfertig" del /f /q "film.avi.unfertig"
if exist "film.avi.unfertig" goto NichtGeloescht
echo Die Datei "film.avi" konnte nicht vollständig geschrieben werden, vielleicht ist der Datenträger voll.
echo Was davon geschrieben war, wurde wieder gelöscht. Bitte schaffen Sie Platz und starten Sie "%~nx0" dann noch einmal.
exit /b
