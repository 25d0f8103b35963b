<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP" sourcelanguage="en_US">
<context>
    <name>print-dialog</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>キャンセル(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>OK(&amp;O)</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>プリント</translation>
    </message>
    <message>
        <source>the panel could not save its values: %1</source>
        <translation>パネルの設定を保存できませんでした: %1</translation>
    </message>
    <message>
        <source>cannot write the ticket: %1</source>
        <translation>チケットを書き込めません: %1</translation>
    </message>
    <message>
        <source>the panel cancelled printing</source>
        <translation>パネルがプリントを中止しました</translation>
    </message>
    <message>
        <source>cannot write the test page: %1</source>
        <translation>テストページを書き込めません: %1</translation>
    </message>
    <message>
        <source>This printer has no Color Options.</source>
        <translation>このプリンタにはカラーオプションがありません。</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>閉じる(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>開く(&amp;O)</translation>
    </message>
    <message>
        <source>Choose the printer whose color options you want to set:</source>
        <translation>カラーオプションを設定するプリンターを選んでください:</translation>
    </message>
    <message>
        <source>No printer uses the ZR-K5100 driver yet. Add the printer in the desktop's printer settings and choose the driver “Ostra ZR-K5100 PS”, or as root:

    lpadmin -p NAME -E -v DEVICE-URI -m DRIVER

with the DRIVER that “lpinfo -m | grep ZR-K5100” names. Then open ZR-K5100 Color Options again.</source>
        <translation>ZR-K5100 ドライバーを使うプリンターはまだありません。デスクトップのプリンター設定でプリンターを追加してドライバー「Ostra ZR-K5100 PS」を選ぶか、root として次を実行してください:

    lpadmin -p NAME -E -v DEVICE-URI -m DRIVER

DRIVER には「lpinfo -m | grep ZR-K5100」が示すものを指定します。その後、ZR-K5100 カラーオプションをもう一度開いてください。</translation>
    </message>
    <message>
        <source>Printers</source>
        <translation>プリンター</translation>
    </message>
    <message>
        <source>The printing system (CUPS) cannot be asked for its printers: %1</source>
        <translation>印刷システム (CUPS) にプリンターを問い合わせることができません: %1</translation>
    </message>
    <message>
        <source>ZR-K5100 Color Options</source>
        <translation>ZR-K5100 カラーオプション</translation>
    </message>
    <message>
        <source>OK keeps these choices as the defaults of the printer %1 for every program that prints to it.</source>
        <translation>OK を押すと、これらの設定がプリンター %1 の既定値になり、このプリンターで印刷するすべてのプログラムで使われます。</translation>
    </message>
</context>
</TS>
