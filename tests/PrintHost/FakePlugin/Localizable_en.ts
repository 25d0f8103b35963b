<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Localizable</name>
    <message>
        <source>Color Options</source>
        <translation>Color Options</translation>
    </message>
    <message>
        <source>Quick Color:</source>
        <translation>Quick Color:</translation>
    </message>
    <message>
        <source>Unfinished</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
