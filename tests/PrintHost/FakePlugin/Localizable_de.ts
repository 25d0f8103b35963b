<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>Localizable</name>
    <message>
        <source>Color Options</source>
        <translation>Farboptionen</translation>
    </message>
</context>
</TS>
