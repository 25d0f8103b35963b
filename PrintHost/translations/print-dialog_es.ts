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
</context>
</TS>
