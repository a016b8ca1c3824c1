<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>ImgFile</name>
    <message>
        <source>the picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t read %1: not a picture format Korvix knows.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t read %1: the bitmap header is broken.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t read %1: the picture is too large (%2 x %3).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t read %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t open %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t read %1: the file is too large.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The picture is empty.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t write %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Ov2</name>
    <message>
        <source>Record runs past the end of the file: %1 : %2(%3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Block starts outside the file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Too many decoded texts in one file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file is too large: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t open OV2 file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Analizing...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Row 1 has no valid coordinates</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TAboutBox</name>
    <message>
        <source>About Korvix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Korvix is free to use and to pass on. It comes without any warranty: keep a backup of your device before you change it.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TAudioPlayer</name>
    <message>
        <source>The sound output device cannot be opened</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The sound output device failed while playing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The sound output device is no longer available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The sound cannot be played: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No sound output device is available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The sound output device cannot play %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TIconEdit</name>
    <message>
        <source>Custom...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Icon</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Left mouse button</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Right mouse button</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pictures (%1)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TImg</name>
    <message>
        <source>Pictures (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tools</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bitmap</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import from file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paste from clipboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy to clipboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The clipboard holds no picture.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Images</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want to save changes?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TImgDlg</name>
    <message>
        <source>Save as...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> StartUp</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ShutDown</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TLatLng</name>
    <message>
        <source>Stopnie</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minuty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sekundy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TomTom</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LatLng</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TMainForm</name>
    <message>
        <source>Looking for TTDevice</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No TT Path</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Korvix update!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New wersion is available.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a device folder: it needs the files TTGO.BIF and ttsystem.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>WARNING</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This will open copyrighted content of TomTom
Please read copyright notice of TT device first
Do you want to continue ?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RBSaveAs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search for text in Poi&apos;s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duplicates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select duplicated Poi&apos;s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select Poi&apos;s containing text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SelectRegion</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select Poi&apos;s located in saved region</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PlaySound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RecSound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>StopSound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DelSound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ImportSound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import Sound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SaveSound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Sound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trim</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Normalize</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open device folder…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Extra</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>WebPages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Curent Itn</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>BackUp</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cascade</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tile &amp;Horizontally</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tile &amp;Vertically</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Minimize All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Arrange All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Main</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sound</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TRBCopyAction</name>
    <message>
        <source>Copy</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TRBCutAction</name>
    <message>
        <source>Cut</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TRBPasteAction</name>
    <message>
        <source>Paste</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TRBReverse</name>
    <message>
        <source>Reverse</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TRBSelectAll</name>
    <message>
        <source>SelectAll</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TRBSoundBox</name>
    <message>
        <source>Unknown format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No WaveStorage Assigned</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TSettings</name>
    <message>
        <source>Korvix Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select language (Needs restart of application to take efect)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check for updates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Register autoplay handler</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Basic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Initial view bounds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Home position</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MaxDistance [m]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tools</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TStockAudioRecorder</name>
    <message>
        <source>The sound input device cannot be opened</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The sound input device failed while recording</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The sound input device is no longer available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The recorder has no wave storage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The recording format is not PCM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No sound input device is available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The sound input device cannot record %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TWave</name>
    <message>
        <source>Can&apos;t open the wave file %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wave file is too large</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not a RIFF wave file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wave format record is damaged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wave data is truncated</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wave file has no format record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The wave file has no data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t write the wave file %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
