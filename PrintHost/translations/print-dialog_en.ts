<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en_US">
<context>
    <name>print-dialog</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>the panel could not save its values: %1</source>
        <translation>the panel could not save its values: %1</translation>
    </message>
    <message>
        <source>cannot write the ticket: %1</source>
        <translation>cannot write the ticket: %1</translation>
    </message>
    <message>
        <source>the panel cancelled printing</source>
        <translation>the panel cancelled printing</translation>
    </message>
    <message>
        <source>cannot write the test page: %1</source>
        <translation>cannot write the test page: %1</translation>
    </message>
    <message>
        <source>This printer has no Color Options.</source>
        <translation>This printer has no Color Options.</translation>
    </message>
</context>
</TS>
