<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>FRM_TBOSET</name>
    <message>
        <source>音を出すMIDI出力デバイスを選びます</source>
        <translation>Chooses the MIDI output device that plays the melody</translation>
    </message>
    <message>
        <source>メロディを演奏する楽器を選びます</source>
        <translation>Chooses the instrument the melody is played with</translation>
    </message>
    <message>
        <source>設定を閉じます。選んだ設定はすぐに使われています</source>
        <translation>Closes the settings; the choices are already in use</translation>
    </message>
</context>
<context>
    <name>PLAYCTRL</name>
    <message>
        <source>再生</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>メロディを最初から繰り返し再生します</source>
        <translation>Plays the melody from the beginning, over and over</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>再生を止めます</source>
        <translation>Stops playing</translation>
    </message>
    <message>
        <source>ファイル読み込み</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>メロディファイルを選んで開きます</source>
        <translation>Chooses a melody file and opens it</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>メロディを名前を付けて保存します</source>
        <translation>Saves the melody under a new name</translation>
    </message>
    <message>
        <source>MIDI設定</source>
        <translation>MIDI settings</translation>
    </message>
    <message>
        <source>MIDI出力デバイスと楽器を選びます</source>
        <translation>Chooses the MIDI output device and the instrument</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Restart</source>
        <translation>Restart</translation>
    </message>
    <message>
        <source>Shut Down</source>
        <translation>Shut Down</translation>
    </message>
    <message>
        <source>What do you want the computer to do?</source>
        <translation>What do you want the computer to do?</translation>
    </message>
    <message>
        <source>Do you want to restart the computer now?</source>
        <translation>Do you want to restart the computer now?</translation>
    </message>
</context>
<context>
    <name>midiOutGetErrorText</name>
    <message>
        <source>The specified command was carried out.</source>
        <translation>The specified command was carried out.</translation>
    </message>
    <message>
        <source>The MIDI output failed with an undefined external error.</source>
        <translation>The MIDI output failed with an undefined external error.</translation>
    </message>
    <message>
        <source>A device ID has been used that is out of range for your system.</source>
        <translation>A device ID has been used that is out of range for your system.</translation>
    </message>
    <message>
        <source>The General MIDI synthesizer could not be started: no usable sound font was found. Install the timgm6mb-soundfont package or point TAMBOLIN_SOUNDFONT at a .sf2 file.</source>
        <translation>The General MIDI synthesizer could not be started: no usable sound font was found. Install the timgm6mb-soundfont package or point TAMBOLIN_SOUNDFONT at a .sf2 file.</translation>
    </message>
    <message>
        <source>The specified device is already in use. Close it first, then try again.</source>
        <translation>The specified device is already in use. Close it first, then try again.</translation>
    </message>
    <message>
        <source>The specified device handle is invalid (the device is not open).</source>
        <translation>The specified device handle is invalid (the device is not open).</translation>
    </message>
    <message>
        <source>No audio output could be opened for the General MIDI synthesizer (no PipeWire, PulseAudio, ALSA sound card or JACK server is available).</source>
        <translation>No audio output could be opened for the General MIDI synthesizer (no PipeWire, PulseAudio, ALSA sound card or JACK server is available).</translation>
    </message>
    <message>
        <source>The system could not allocate or lock memory.</source>
        <translation>The system could not allocate or lock memory.</translation>
    </message>
    <message>
        <source>The function requested is not supported.</source>
        <translation>The function requested is not supported.</translation>
    </message>
    <message>
        <source>An error number was specified that is not defined in the system.</source>
        <translation>An error number was specified that is not defined in the system.</translation>
    </message>
    <message>
        <source>An invalid flag was passed to a system function.</source>
        <translation>An invalid flag was passed to a system function.</translation>
    </message>
    <message>
        <source>An invalid parameter was passed to a system function.</source>
        <translation>An invalid parameter was passed to a system function.</translation>
    </message>
    <message>
        <source>The header was not prepared.</source>
        <translation>The header was not prepared.</translation>
    </message>
    <message>
        <source>The device is still playing.</source>
        <translation>The device is still playing.</translation>
    </message>
    <message>
        <source>No MIDI mapping is configured.</source>
        <translation>No MIDI mapping is configured.</translation>
    </message>
    <message>
        <source>The MIDI port is busy. Try again later.</source>
        <translation>The MIDI port is busy. Try again later.</translation>
    </message>
    <message>
        <source>The MIDI output port was not found: it may have been disconnected, or TAMBOLIN_MIDI_MAPPER names no port that is present.</source>
        <translation>The MIDI output port was not found: it may have been disconnected, or TAMBOLIN_MIDI_MAPPER names no port that is present.</translation>
    </message>
    <message>
        <source>The MIDI setup is invalid.</source>
        <translation>The MIDI setup is invalid.</translation>
    </message>
    <message>
        <source>The operation is not supported in this open mode.</source>
        <translation>The operation is not supported in this open mode.</translation>
    </message>
    <message>
        <source>The MIDI output was told not to continue.</source>
        <translation>The MIDI output was told not to continue.</translation>
    </message>
</context>
<context>
    <name>tamberlo</name>
    <message>
        <source>メロディのファイルにしては大きすぎます</source>
        <translation>too large for a melody file</translation>
    </message>
    <message>
        <source>受け取ったファイルを置くフォルダがありません</source>
        <translation>no folder to keep the downloaded file in</translation>
    </message>
    <message>
        <source>登録されているコントロールのライブラリは、このプログラムと一緒にビルドされたものではありません。</source>
        <translation>The registered control library is not the one this program was built with.</translation>
    </message>
    <message>
        <source>%1のﾀﾞｳﾝﾛｰﾄﾞに失敗
%2</source>
        <translation>Could not download %1
%2</translation>
    </message>
    <message>
        <source>開く(&amp;O)...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>名前を付けて保存(&amp;A)...</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>MIDI設定(&amp;M)...</source>
        <translation>&amp;MIDI Settings...</translation>
    </message>
    <message>
        <source>終了(&amp;Q)</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>ピアノロール(&amp;P)</source>
        <translation>&amp;Piano roll</translation>
    </message>
    <message>
        <source>再生/停止</source>
        <translation>Play/Stop</translation>
    </message>
    <message>
        <source>最近使ったファイル(&amp;R)</source>
        <translation>&amp;Recent Files</translation>
    </message>
</context>
</TS>
