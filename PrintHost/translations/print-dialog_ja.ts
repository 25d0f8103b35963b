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
</context>
</TS>
