<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="en_US">
<context>
    <name>Localizable</name>
    <message>
        <source>Color Options</source>
        <translation>Opciones de color</translation>
    </message>
    <message>
        <source>Quick Color</source>
        <translation>Color rápido</translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation>Brillo</translation>
    </message>
    <message>
        <source>Color as Grayscale</source>
        <translation>Color en escala de grises</translation>
    </message>
    <message>
        <source>Color Separation</source>
        <translation>Separación de colores</translation>
    </message>
    <message>
        <source>EconoMode</source>
        <translation>Modo económico</translation>
    </message>
    <message>
        <source>EdgeType</source>
        <translation>Tipo de borde</translation>
    </message>
    <message>
        <source>AutoTrapping</source>
        <translation>Reventado automático</translation>
    </message>
    <message>
        <source>BlackOverprint</source>
        <translation>Sobreimpresión de negro</translation>
    </message>
    <message>
        <source>Quick Color:</source>
        <translation>Color rápido:</translation>
    </message>
    <message>
        <source>Brightness:</source>
        <translation>Brillo:</translation>
    </message>
    <message>
        <source>EdgeType:</source>
        <translation>Tipo de borde:</translation>
    </message>
    <message>
        <source>BlackOverprint:</source>
        <translation>Sobreimpresión de negro:</translation>
    </message>
    <message>
        <source>Advanced Color Options</source>
        <translation>Opciones de color avanzadas…</translation>
    </message>
    <message>
        <source>RGB Source:</source>
        <translation>Origen RGB:</translation>
    </message>
    <message>
        <source>RGB Intent:</source>
        <translation>Interpretación RGB:</translation>
    </message>
    <message>
        <source>RGB Gray Treatment:</source>
        <translation>Tratamiento de grises RGB:</translation>
    </message>
    <message>
        <source>Destination Profile:</source>
        <translation>Perfil de destino:</translation>
    </message>
    <message>
        <source>Halftone:</source>
        <translation>Semitono:</translation>
    </message>
    <message>
        <source>EdgeEnhance:</source>
        <translation>Mejora de bordes:</translation>
    </message>
    <message>
        <source>Simulation Profile:</source>
        <translation>Perfil de simulación:</translation>
    </message>
    <message>
        <source>Match Paper Color:</source>
        <translation>Simular color del papel:</translation>
    </message>
    <message>
        <source>CMYK Gray Treatment:</source>
        <translation>Tratamiento de grises CMYK:</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Imagen</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Texto</translation>
    </message>
    <message>
        <source>Graphics</source>
        <translation>Gráficos</translation>
    </message>
    <message>
        <source>Simulation</source>
        <translation>Simulación</translation>
    </message>
    <message>
        <source>Management Profile</source>
        <translation>Gestionar perfiles…</translation>
    </message>
    <message>
        <source>Download Manager</source>
        <translation>Gestor de descargas…</translation>
    </message>
    <message>
        <source>Hide Advanced Options</source>
        <translation>Ocultar opciones avanzadas</translation>
    </message>
    <message>
        <source>Image RGB Source</source>
        <translation>Origen RGB (imagen)</translation>
    </message>
    <message>
        <source>Image RGB Intent</source>
        <translation>Interpretación RGB (imagen)</translation>
    </message>
    <message>
        <source>Image RGB Gray Treatment</source>
        <translation>Tratamiento de grises RGB (imagen)</translation>
    </message>
    <message>
        <source>Image Destination Profile</source>
        <translation>Perfil de destino (imagen)</translation>
    </message>
    <message>
        <source>Image Halftone</source>
        <translation>Semitono (imagen)</translation>
    </message>
    <message>
        <source>Image EdgeEnhance</source>
        <translation>Mejora de bordes (imagen)</translation>
    </message>
    <message>
        <source>Text RGB Source</source>
        <translation>Origen RGB (texto)</translation>
    </message>
    <message>
        <source>Text RGB Intent</source>
        <translation>Interpretación RGB (texto)</translation>
    </message>
    <message>
        <source>Text RGB Gray Treatment</source>
        <translation>Tratamiento de grises RGB (texto)</translation>
    </message>
    <message>
        <source>Text Destination Profile</source>
        <translation>Perfil de destino (texto)</translation>
    </message>
    <message>
        <source>Text Halftone</source>
        <translation>Semitono (texto)</translation>
    </message>
    <message>
        <source>Text EdgeEnhance</source>
        <translation>Mejora de bordes (texto)</translation>
    </message>
    <message>
        <source>Graphics RGB Source</source>
        <translation>Origen RGB (gráficos)</translation>
    </message>
    <message>
        <source>Graphics RGB Intent</source>
        <translation>Interpretación RGB (gráficos)</translation>
    </message>
    <message>
        <source>Graphics RGB Gray Treatment</source>
        <translation>Tratamiento de grises RGB (gráficos)</translation>
    </message>
    <message>
        <source>Graphics Destination Profile</source>
        <translation>Perfil de destino (gráficos)</translation>
    </message>
    <message>
        <source>Graphics Halftone</source>
        <translation>Semitono (gráficos)</translation>
    </message>
    <message>
        <source>Graphics EdgeEnhance</source>
        <translation>Mejora de bordes (gráficos)</translation>
    </message>
    <message>
        <source>Simulation Profile</source>
        <translation>Perfil de simulación</translation>
    </message>
    <message>
        <source>Match Paper Color</source>
        <translation>Simular color del papel</translation>
    </message>
    <message>
        <source>CMYK Gray Treatment</source>
        <translation>Tratamiento de grises CMYK</translation>
    </message>
    <message>
        <source>Disk</source>
        <translation>Disco</translation>
    </message>
    <message>
        <source>Card</source>
        <translation>Tarjeta de memoria</translation>
    </message>
    <message>
        <source>ProfileTitle</source>
        <translation>Gestión de perfiles</translation>
    </message>
    <message>
        <source>Unavailable while %1 is on</source>
        <translation>No disponible mientras «%1» esté activado</translation>
    </message>
    <message>
        <source>Unavailable while %1 is off</source>
        <translation>No disponible mientras «%1» esté desactivado</translation>
    </message>
    <message>
        <source>Unavailable while %1 is %2</source>
        <translation>No disponible mientras «%1» sea «%2»</translation>
    </message>
    <message>
        <source>Available with the %2 %1 only</source>
        <translation>Disponible solo cuando «%1» sea «%2»</translation>
    </message>
    <message>
        <source>Profile Management</source>
        <translation>Gestión de perfiles</translation>
    </message>
    <message>
        <source>Profiles:</source>
        <translation>Perfiles:</translation>
    </message>
    <message>
        <source>RGB Source Profiles</source>
        <translation>Perfiles de origen RGB</translation>
    </message>
    <message>
        <source>Simulation Profiles</source>
        <translation>Perfiles de simulación</translation>
    </message>
    <message>
        <source>Destination Profiles</source>
        <translation>Perfiles de destino</translation>
    </message>
    <message>
        <source>Profile List</source>
        <translation>Lista de perfiles</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Añadir</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Editar</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Eliminar</translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>Nombre de archivo:</translation>
    </message>
    <message>
        <source>Browse…</source>
        <translation>Examinar…</translation>
    </message>
    <message>
        <source>Profile Name:</source>
        <translation>Nombre del perfil:</translation>
    </message>
    <message>
        <source>Location:</source>
        <translation>Ubicación:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Aplicar</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>In Menu</source>
        <translation>En el menú</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>Nombre de archivo</translation>
    </message>
    <message>
        <source>Profile Name</source>
        <translation>Nombre del perfil</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Ubicación</translation>
    </message>
    <message>
        <source>The printer's PPD does not offer this option</source>
        <translation>El PPD de la impresora no ofrece esta opción</translation>
    </message>
    <message>
        <source>The profile service is not available</source>
        <translation>El servicio de perfiles no está disponible</translation>
    </message>
    <message>
        <source>Cancel Entry</source>
        <translation>Cancelar entrada</translation>
    </message>
    <message>
        <source>Darker</source>
        <translation>Más oscuro</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Lighter</source>
        <translation>Más claro</translation>
    </message>
    <message>
        <source>Content Type</source>
        <translation>Tipo de contenido</translation>
    </message>
</context>
</TS>
