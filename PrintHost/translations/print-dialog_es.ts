<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="en_US">
<context>
    <name>print-dialog</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Cancelar</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;Aceptar</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Imprimir</translation>
    </message>
    <message>
        <source>the panel could not save its values: %1</source>
        <translation>el panel no pudo guardar sus valores: %1</translation>
    </message>
    <message>
        <source>cannot write the ticket: %1</source>
        <translation>no se puede escribir el ticket: %1</translation>
    </message>
    <message>
        <source>the panel cancelled printing</source>
        <translation>el panel canceló la impresión</translation>
    </message>
    <message>
        <source>cannot write the test page: %1</source>
        <translation>no se puede escribir la página de prueba: %1</translation>
    </message>
    <message>
        <source>This printer has no Color Options.</source>
        <translation>Esta impresora no tiene Opciones de color.</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Cerrar</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Abrir</translation>
    </message>
    <message>
        <source>Choose the printer whose color options you want to set:</source>
        <translation>Elija la impresora cuyas opciones de color quiere ajustar:</translation>
    </message>
    <message>
        <source>No printer uses the ZR-K5100 driver yet. Add the printer in the desktop's printer settings and choose the driver “Ostra ZR-K5100 PS”, or as root:

    lpadmin -p NAME -E -v DEVICE-URI -m DRIVER

with the DRIVER that “lpinfo -m | grep ZR-K5100” names. Then open ZR-K5100 Color Options again.</source>
        <translation>Ninguna impresora usa todavía el controlador ZR-K5100. Añada la impresora en la configuración de impresoras del escritorio y elija el controlador «Ostra ZR-K5100 PS», o como root:

    lpadmin -p NAME -E -v DEVICE-URI -m DRIVER

con el DRIVER que indica «lpinfo -m | grep ZR-K5100». Después abra de nuevo Opciones de color ZR-K5100.</translation>
    </message>
    <message>
        <source>Printers</source>
        <translation>Impresoras</translation>
    </message>
    <message>
        <source>The printing system (CUPS) cannot be asked for its printers: %1</source>
        <translation>No se puede consultar al sistema de impresión (CUPS) por sus impresoras: %1</translation>
    </message>
    <message>
        <source>ZR-K5100 Color Options</source>
        <translation>Opciones de color ZR-K5100</translation>
    </message>
    <message>
        <source>OK keeps these choices as the defaults of the printer %1 for every program that prints to it.</source>
        <translation>Aceptar guarda estas opciones como valores predeterminados de la impresora %1 para todos los programas que imprimen en ella.</translation>
    </message>
</context>
</TS>
