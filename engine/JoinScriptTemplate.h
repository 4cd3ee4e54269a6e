#pragma once

#include <string_view>

// The join script as it stands, but for its holes: {name} is filled in by JoinScript.cpp, with
// the names quoted as cmd must read them. A hole alone on its line may stand for several lines
// or for none. The script is German for its users; its lines up to the code page's check hold
// nothing but ASCII, since cmd reads each line in the console's code page of that moment.
namespace engine::scripttext {

// The script around its pieces, and the one place it begins and ends for the user: it reads the
// console's code page, switches to its own, checks that it is read in it, takes the lock, lets
// :Zusammenfuegen join, cleans up and restores the code page on every way out.
inline constexpr std::string_view kScript = R"(@echo off
rem Von Palvo geschrieben: fuegt die Teile wieder zu der Datei zusammen, aus der sie geschnitten
rem wurden, und prueft dabei jedes Byte. Geschrieben in Codepage {codePage}; bis cmd auf sie
rem umgestellt ist, steht hier nichts als ASCII.
setlocal EnableExtensions DisableDelayedExpansion
for %%V in (Vorher Lesen Gesperrt Verwaist Alt Angelegt Nachpruefen Beschaedigt Ist Summe Zeile Fremd Gleich Halb Wort Probe) do set "%%V="
set "Codepage={codePage}"
set "Ergebnis=1"
rem Was certutil sagt, steht bei den Teilen, die ein Zusammenfuegen zugleich nur einmal nimmt,
rem unter einem Namen ganz aus ASCII fuer diese Datei.
set "Ausgabe={answerFile}"
for /f "tokens=*" %%C in ('"%SystemRoot%\System32\chcp.com"') do call :CodepageLesen Vorher %%C
if defined Vorher "%SystemRoot%\System32\chcp.com" %Codepage% >nul 2>&1
for /f "tokens=*" %%C in ('"%SystemRoot%\System32\chcp.com"') do call :CodepageLesen Lesen %%C
if not defined Lesen for /f "tokens=*" %%C in ('"%SystemRoot%\System32\reg.exe" query HKLM\SYSTEM\CurrentControlSet\Control\Nls\CodePage /v OEMCP 2^>nul') do call :CodepageLesen Lesen %%C
{codePageCheck}
(call )
pushd "%~dp0" 2>nul
if errorlevel 1 goto OrdnerFehlt
rem Windows erreicht Dateien bis 259 Zeichen und legt Ordner bis 247 an: Dieser Ordner muss den
rem Namen unten Platz lassen.
if not "%CD:~{longestFolder}%"=="" goto PfadZuLang
for /l %%V in (1,1,3) do if not defined Gesperrt call :Sperren 2>nul
if "%Gesperrt%"=="anderswo" goto LaeuftSchon
if not defined Gesperrt if exist {workFolder} goto OrdnerImWeg
if not defined Gesperrt goto NichtBeschreibbar
call :AusgabeLoeschen
del /f /q {lockFile} 2>nul
rd {workFolder} 2>nul
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
if exist {lockFile} call :FremdesImOrdner
if defined Fremd exit /b
if exist {lockFile} set "Alt=ja" & for /f "usebackq tokens=1" %%Z in ({lockFile}) do if "%%Z"=="Arbeitsdatei" set "Verwaist=ja"
if defined Alt del /f /q {lockFile} 2>nul
if exist {lockFile} set "Gesperrt=anderswo" & exit /b
if defined Alt call :AusgabeLoeschen
if defined Alt rd {workFolder} 2>nul
if exist {workFolder} exit /b
mkdir {workFolder} 2>nul && set "Angelegt=ja"
if defined Angelegt call :Zusammenfuegen 2>{lockFile}
rem Ein Ordner, in dem die Sperrdatei sich nicht anlegen ließ, ist seiner und geht wieder.
if defined Angelegt if not defined Gesperrt rd {workFolder} 2>nul
exit /b

:FremdesImOrdner
rem Setzt Fremd, wenn der Ordner der Sperre anderes hält als sie. Nur wo eine Sperre zu löschen
rem wäre: Hineinzugehen hielte ein Zusammenfügen auf, das den Ordner gerade anlegt oder entfernt.
(call )
pushd {workFolder} 2>nul
if errorlevel 1 set "Fremd=ja" & exit /b
for %%F in (*) do if /i not "%%~nxF"=="sperre" set "Fremd=ja"
for /d %%F in (*) do set "Fremd=ja"
popd
exit /b

:LaeuftSchon
echo Diese Teile werden gerade schon zu {target} zusammengefügt, in einem anderen Fenster.
echo Bitte warten Sie, bis es fertig ist. Hier wurde nichts verändert.
goto Ende

:OrdnerImWeg
echo Im Ordner "%CD%" steht {workFolder} im Weg: Unter diesem Namen legt die Batch-Datei beim Zusammenfügen einen Ordner an.
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
{pieces}
if defined Nachpruefen goto Nachgeprueft
if exist {target} goto ZielDa
if exist {workFileAsFolder} goto ArbeitsdateiImWeg
if exist {workFile} if not defined Verwaist goto ArbeitsdateiImWeg
if exist {workFile} del /f /q {workFile}
if exist {workFile} goto NichtGeloescht
call :AusgabeProbieren >nul 2>nul
if not defined Summe call :AusgabeLoeschen
if not defined Summe goto KeineAusgabe
>&2 echo Arbeitsdatei
{copyLines}
if errorlevel 1 goto NichtGeschrieben
for %%L in ({workFile}) do if not "%%~zL"=="{sourceLength}" goto NichtGeschrieben
"%SystemRoot%\System32\certutil.exe" -hashfile {workFile} SHA256 >"%Ausgabe%" 2>nul
call :SummeLesen
if not defined Summe goto OhnePruefsumme
if /i "%Summe%"=="{digest}" goto Geprueft
del /f /q {workFile}
if exist {workFile} goto NichtGeloescht
echo Die zusammengefügte Datei ist nicht Byte für Byte die Datei {target}, die Palvo zerlegt hat.
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
ren {workFile} {target} 2>nul
if exist {workFile} goto NichtUmbenannt
echo Die Datei {target} ist zusammengefügt und geprüft: Sie ist Byte für Byte die Datei, die Palvo zerlegt hat.
set "Ergebnis=0"
exit /b

:OhnePruefsumme
ren {workFile} {target} 2>nul
if exist {workFile} goto NichtUmbenannt
if not exist "%SystemRoot%\System32\certutil.exe" echo Die Datei {target} ist zusammengefügt. Ihr Inhalt wurde nicht geprüft, weil es auf diesem Windows kein certutil gibt; geprüft ist nur die Länge jedes Teils.
if exist "%SystemRoot%\System32\certutil.exe" echo Die Datei {target} ist zusammengefügt. Ihr Inhalt wurde nicht geprüft, weil certutil keine Prüfsumme lieferte; geprüft ist nur die Länge jedes Teils.
set "Ergebnis=0"
exit /b

:NichtUmbenannt
del /f /q {workFile}
if exist {workFile} goto NichtGeloescht
if exist {target} goto ZielDa
echo Die zusammengefügte Datei ließ sich nicht in {target} umbenennen und wurde wieder gelöscht.
echo Es wurde nichts zusammengefügt.
exit /b

:NichtGeloescht
echo Die Datei {workFile} ließ sich nicht löschen, vielleicht hält ein anderes Programm sie offen.
echo Bitte löschen Sie sie selbst und starten Sie "%~nx0" dann noch einmal. Es wurde nichts zusammengefügt.
exit /b

:TeilFalsch
echo Bitte kopieren Sie alle Teile vollständig in den Ordner "%CD%" und starten Sie "%~nx0" dann noch einmal.
echo Es wurde nichts zusammengefügt.
exit /b

:ZielDa
echo Die Datei {target} gibt es in diesem Ordner schon.
echo Bitte verschieben Sie sie zuerst an einen anderen Ort oder benennen Sie sie um und starten Sie "%~nx0" dann noch einmal.
echo Es wurde nichts zusammengefügt.
exit /b

:ArbeitsdateiImWeg
echo Im Ordner "%CD%" steht {workFile} im Weg: Unter diesem Namen entsteht die Datei beim Zusammenfügen.
echo Bitte verschieben oder löschen Sie es und starten Sie "%~nx0" dann noch einmal. Es wurde nichts zusammengefügt.
exit /b

:NichtGeschrieben
if exist {workFile} del /f /q {workFile}
if exist {workFile} goto NichtGeloescht
echo Die Datei {target} konnte nicht vollständig geschrieben werden, vielleicht ist der Datenträger voll.{fatNote}
echo Was davon geschrieben war, wurde wieder gelöscht. Bitte schaffen Sie Platz und starten Sie "%~nx0" dann noch einmal.
exit /b
)";

// Only where a name holds a character outside ASCII: before any name is touched, the script
// makes sure that cmd reads it in its own code page, by the number cmd or the registry gives
// and by the width of those characters, which a double-byte code page reads otherwise.
inline constexpr std::string_view kCodePageCheck = R"(rem Die Namen unten stimmen nur, wenn cmd diese Datei in Codepage {codePage} liest.
set "Probe={probe}"
if not "{probeRead}"=="{probeExpected}" set "Lesen=" & goto FremdeCodepage
if defined Lesen if not "%Lesen%"=="%Codepage%" goto FremdeCodepage
)";

// Each piece: it is there, a file, of its length; after a join that came out wrong, whether its
// bytes are still those Palvo wrote (certutil's digest, whole or in pairs of digits).
inline constexpr std::string_view kPiece = R"(for %%L in ({piece}) do if not "%%~zL"=="{length}" set "Ist= %%~zL"
if "%Ist%"==" " echo Das Teil {piece} fehlt. & goto TeilFalsch
if defined Ist if exist {pieceAsFolder} echo {piece} ist ein Ordner, kein Teil. & goto TeilFalsch
if defined Ist echo Das Teil {piece} hat%Ist% Bytes, es muss genau {length} Bytes haben. & goto TeilFalsch
if not defined Nachpruefen goto T{number}
set "Gleich=" & set "Halb="
"%SystemRoot%\System32\certutil.exe" -hashfile {piece} SHA256 >"%Ausgabe%" 2>nul
for /f "usebackq tokens=1-16" %%A in ("%Ausgabe%") do if /i "%%A%%B%%C%%D%%E%%F%%G%%H%%I%%J%%K%%L%%M%%N%%O%%P"=="{digest}" set "Gleich=ja"
for /f "usebackq tokens=1-16" %%A in ("%Ausgabe%") do if /i "%%A%%B%%C%%D%%E%%F%%G%%H%%I%%J%%K%%L%%M%%N%%O%%P"=="{digestFront}" set "Halb=ja"
if defined Halb for /f "usebackq tokens=17-32" %%A in ("%Ausgabe%") do if /i "%%A%%B%%C%%D%%E%%F%%G%%H%%I%%J%%K%%L%%M%%N%%O%%P"=="{digestBack}" set "Gleich=ja"
if not defined Gleich echo Das Teil {piece} ist beschädigt: Es ist nicht mehr das Teil, das Palvo geschrieben hat. & set "Beschaedigt=ja"
:T{number}
)";

} // namespace engine::scripttext
