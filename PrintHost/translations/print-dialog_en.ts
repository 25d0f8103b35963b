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
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>Choose the printer whose color options you want to set:</source>
        <translation>Choose the printer whose color options you want to set:</translation>
    </message>
    <message>
        <source>No printer uses the ZR-K5100 driver yet. Add the printer in the desktop's printer settings and choose the driver “Ostra ZR-K5100 PS”, or as root:

    lpadmin -p NAME -E -v DEVICE-URI -m DRIVER

with the DRIVER that “lpinfo -m | grep ZR-K5100” names. Then open ZR-K5100 Color Options again.</source>
        <translation>No printer uses the ZR-K5100 driver yet. Add the printer in the desktop's printer settings and choose the driver “Ostra ZR-K5100 PS”, or as root:

    lpadmin -p NAME -E -v DEVICE-URI -m DRIVER

with the DRIVER that “lpinfo -m | grep ZR-K5100” names. Then open ZR-K5100 Color Options again.</translation>
    </message>
    <message>
        <source>Printers</source>
        <translation>Printers</translation>
    </message>
    <message>
        <source>The printing system (CUPS) cannot be asked for its printers: %1</source>
        <translation>The printing system (CUPS) cannot be asked for its printers: %1</translation>
    </message>
    <message>
        <source>ZR-K5100 Color Options</source>
        <translation>ZR-K5100 Color Options</translation>
    </message>
    <message>
        <source>OK keeps these choices as the defaults of the printer %1 for every program that prints to it.</source>
        <translation>OK keeps these choices as the defaults of the printer %1 for every program that prints to it.</translation>
    </message>
</context>
</TS>
