<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>FRM_TBOSET</name>
    <message>
        <source>音を出すMIDI出力デバイスを選びます</source>
        <translation>音を出すMIDI出力デバイスを選びます</translation>
    </message>
    <message>
        <source>メロディを演奏する楽器を選びます</source>
        <translation>メロディを演奏する楽器を選びます</translation>
    </message>
    <message>
        <source>設定を閉じます。選んだ設定はすぐに使われています</source>
        <translation>設定を閉じます。選んだ設定はすぐに使われています</translation>
    </message>
</context>
<context>
    <name>PLAYCTRL</name>
    <message>
        <source>再生</source>
        <translation>再生</translation>
    </message>
    <message>
        <source>メロディを最初から繰り返し再生します</source>
        <translation>メロディを最初から繰り返し再生します</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>再生を止めます</source>
        <translation>再生を止めます</translation>
    </message>
    <message>
        <source>ファイル読み込み</source>
        <translation>ファイル読み込み</translation>
    </message>
    <message>
        <source>メロディファイルを選んで開きます</source>
        <translation>メロディファイルを選んで開きます</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>メロディを名前を付けて保存します</source>
        <translation>メロディを名前を付けて保存します</translation>
    </message>
    <message>
        <source>MIDI設定</source>
        <translation>MIDI設定</translation>
    </message>
    <message>
        <source>MIDI出力デバイスと楽器を選びます</source>
        <translation>MIDI出力デバイスと楽器を選びます</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Restart</source>
        <translation>再起動</translation>
    </message>
    <message>
        <source>Shut Down</source>
        <translation>シャットダウン</translation>
    </message>
    <message>
        <source>What do you want the computer to do?</source>
        <translation>コンピュータをどうしますか?</translation>
    </message>
    <message>
        <source>Do you want to restart the computer now?</source>
        <translation>今すぐコンピュータを再起動しますか?</translation>
    </message>
</context>
<context>
    <name>midiOutGetErrorText</name>
    <message>
        <source>The specified command was carried out.</source>
        <translation>指定したコマンドを実行しました。</translation>
    </message>
    <message>
        <source>The MIDI output failed with an undefined external error.</source>
        <translation>MIDI出力が原因のわからない外部エラーで失敗しました。</translation>
    </message>
    <message>
        <source>A device ID has been used that is out of range for your system.</source>
        <translation>このシステムにないデバイスIDが使われました。</translation>
    </message>
    <message>
        <source>The General MIDI synthesizer could not be started: no usable sound font was found. Install the timgm6mb-soundfont package or point TAMBOLIN_SOUNDFONT at a .sf2 file.</source>
        <translation>General MIDIシンセサイザーを起動できません: 使えるサウンドフォントが見つかりません。timgm6mb-soundfontパッケージを入れるか、TAMBOLIN_SOUNDFONTで.sf2ファイルを指定してください。</translation>
    </message>
    <message>
        <source>The specified device is already in use. Close it first, then try again.</source>
        <translation>指定したデバイスは使用中です。先に閉じてから、もう一度試してください。</translation>
    </message>
    <message>
        <source>The specified device handle is invalid (the device is not open).</source>
        <translation>指定したデバイスのハンドルが無効です (デバイスが開かれていません)。</translation>
    </message>
    <message>
        <source>No audio output could be opened for the General MIDI synthesizer (no PipeWire, PulseAudio, ALSA sound card or JACK server is available).</source>
        <translation>General MIDIシンセサイザーの音声出力を開けません (PipeWire、PulseAudio、ALSAのサウンドカード、JACKサーバーのどれも使えません)。</translation>
    </message>
    <message>
        <source>The system could not allocate or lock memory.</source>
        <translation>メモリを確保またはロックできませんでした。</translation>
    </message>
    <message>
        <source>The function requested is not supported.</source>
        <translation>要求された機能はサポートされていません。</translation>
    </message>
    <message>
        <source>An error number was specified that is not defined in the system.</source>
        <translation>システムに定義されていないエラー番号が指定されました。</translation>
    </message>
    <message>
        <source>An invalid flag was passed to a system function.</source>
        <translation>システム関数に無効なフラグが渡されました。</translation>
    </message>
    <message>
        <source>An invalid parameter was passed to a system function.</source>
        <translation>システム関数に無効なパラメータが渡されました。</translation>
    </message>
    <message>
        <source>The header was not prepared.</source>
        <translation>ヘッダーが準備されていません。</translation>
    </message>
    <message>
        <source>The device is still playing.</source>
        <translation>デバイスはまだ再生中です。</translation>
    </message>
    <message>
        <source>No MIDI mapping is configured.</source>
        <translation>MIDIマッピングが設定されていません。</translation>
    </message>
    <message>
        <source>The MIDI port is busy. Try again later.</source>
        <translation>MIDIポートが使用中です。後でもう一度試してください。</translation>
    </message>
    <message>
        <source>The MIDI output port was not found: it may have been disconnected, or TAMBOLIN_MIDI_MAPPER names no port that is present.</source>
        <translation>MIDI出力ポートが見つかりません: 接続が外れたか、TAMBOLIN_MIDI_MAPPERが存在しないポートを指しています。</translation>
    </message>
    <message>
        <source>The MIDI setup is invalid.</source>
        <translation>MIDIの設定が無効です。</translation>
    </message>
    <message>
        <source>The operation is not supported in this open mode.</source>
        <translation>この開き方ではその操作はできません。</translation>
    </message>
    <message>
        <source>The MIDI output was told not to continue.</source>
        <translation>MIDI出力に続行しないよう指示されました。</translation>
    </message>
</context>
<context>
    <name>tamberlo</name>
    <message>
        <source>メロディのファイルにしては大きすぎます</source>
        <translation>メロディのファイルにしては大きすぎます</translation>
    </message>
    <message>
        <source>受け取ったファイルを置くフォルダがありません</source>
        <translation>受け取ったファイルを置くフォルダがありません</translation>
    </message>
    <message>
        <source>登録されているコントロールのライブラリは、このプログラムと一緒にビルドされたものではありません。</source>
        <translation>登録されているコントロールのライブラリは、このプログラムと一緒にビルドされたものではありません。</translation>
    </message>
    <message>
        <source>%1のﾀﾞｳﾝﾛｰﾄﾞに失敗
%2</source>
        <translation>%1のﾀﾞｳﾝﾛｰﾄﾞに失敗
%2</translation>
    </message>
    <message>
        <source>開く(&amp;O)...</source>
        <translation>開く(&amp;O)...</translation>
    </message>
    <message>
        <source>名前を付けて保存(&amp;A)...</source>
        <translation>名前を付けて保存(&amp;A)...</translation>
    </message>
    <message>
        <source>MIDI設定(&amp;M)...</source>
        <translation>MIDI設定(&amp;M)...</translation>
    </message>
    <message>
        <source>終了(&amp;Q)</source>
        <translation>終了(&amp;Q)</translation>
    </message>
    <message>
        <source>ピアノロール(&amp;P)</source>
        <translation>ピアノロール(&amp;P)</translation>
    </message>
    <message>
        <source>再生/停止</source>
        <translation>再生/停止</translation>
    </message>
    <message>
        <source>最近使ったファイル(&amp;R)</source>
        <translation>最近使ったファイル(&amp;R)</translation>
    </message>
</context>
</TS>
