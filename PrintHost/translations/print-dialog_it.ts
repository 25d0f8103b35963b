<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="en_US">
<context>
    <name>print-dialog</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annulla</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Stampa</translation>
    </message>
    <message>
        <source>the panel could not save its values: %1</source>
        <translation>il pannello non ha potuto salvare i propri valori: %1</translation>
    </message>
    <message>
        <source>cannot write the ticket: %1</source>
        <translation>impossibile scrivere il ticket: %1</translation>
    </message>
    <message>
        <source>the panel cancelled printing</source>
        <translation>il pannello ha annullato la stampa</translation>
    </message>
    <message>
        <source>cannot write the test page: %1</source>
        <translation>impossibile scrivere la pagina di prova: %1</translation>
    </message>
    <message>
        <source>This printer has no Color Options.</source>
        <translation>Questa stampante non ha Opzioni colore.</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Chiudi</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Apri</translation>
    </message>
    <message>
        <source>Choose the printer whose color options you want to set:</source>
        <translation>Scegliere la stampante di cui impostare le opzioni colore:</translation>
    </message>
    <message>
        <source>No printer uses the ZR-K5100 driver yet. Add the printer in the desktop's printer settings and choose the driver “Ostra ZR-K5100 PS”, or as root:

    lpadmin -p NAME -E -v DEVICE-URI -m DRIVER

with the DRIVER that “lpinfo -m | grep ZR-K5100” names. Then open ZR-K5100 Color Options again.</source>
        <translation>Nessuna stampante usa ancora il driver ZR-K5100. Aggiungere la stampante nelle impostazioni delle stampanti del desktop e scegliere il driver «Ostra ZR-K5100 PS», oppure come root:

    lpadmin -p NAME -E -v DEVICE-URI -m DRIVER

con il DRIVER indicato da «lpinfo -m | grep ZR-K5100». Quindi aprire di nuovo Opzioni colore ZR-K5100.</translation>
    </message>
    <message>
        <source>Printers</source>
        <translation>Stampanti</translation>
    </message>
    <message>
        <source>The printing system (CUPS) cannot be asked for its printers: %1</source>
        <translation>Impossibile chiedere al sistema di stampa (CUPS) le sue stampanti: %1</translation>
    </message>
    <message>
        <source>ZR-K5100 Color Options</source>
        <translation>Opzioni colore ZR-K5100</translation>
    </message>
    <message>
        <source>OK keeps these choices as the defaults of the printer %1 for every program that prints to it.</source>
        <translation>OK mantiene queste scelte come impostazioni predefinite della stampante %1 per ogni programma che vi stampa.</translation>
    </message>
</context>
</TS>
