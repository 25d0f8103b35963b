<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP" sourcelanguage="en_US">
<context>
    <name>Localizable</name>
    <message>
        <source>Color Options</source>
        <translation>カラーオプション</translation>
    </message>
    <message>
        <source>Quick Color</source>
        <translation>クイックカラー</translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation>明るさ</translation>
    </message>
    <message>
        <source>Color as Grayscale</source>
        <translation>カラーをグレースケールで印刷</translation>
    </message>
    <message>
        <source>Color Separation</source>
        <translation>色分解</translation>
    </message>
    <message>
        <source>EconoMode</source>
        <translation>エコノモード</translation>
    </message>
    <message>
        <source>EdgeType</source>
        <translation>エッジの種類</translation>
    </message>
    <message>
        <source>AutoTrapping</source>
        <translation>自動トラッピング</translation>
    </message>
    <message>
        <source>BlackOverprint</source>
        <translation>黒のオーバープリント</translation>
    </message>
    <message>
        <source>Quick Color:</source>
        <translation>クイックカラー：</translation>
    </message>
    <message>
        <source>Brightness:</source>
        <translation>明るさ：</translation>
    </message>
    <message>
        <source>EdgeType:</source>
        <translation>エッジの種類：</translation>
    </message>
    <message>
        <source>BlackOverprint:</source>
        <translation>黒のオーバープリント：</translation>
    </message>
    <message>
        <source>Advanced Color Options</source>
        <translation>詳細カラーオプション…</translation>
    </message>
    <message>
        <source>RGB Source:</source>
        <translation>RGB ソース：</translation>
    </message>
    <message>
        <source>RGB Intent:</source>
        <translation>RGB レンダリングインテント：</translation>
    </message>
    <message>
        <source>RGB Gray Treatment:</source>
        <translation>RGB グレー処理：</translation>
    </message>
    <message>
        <source>Destination Profile:</source>
        <translation>出力プロファイル：</translation>
    </message>
    <message>
        <source>Halftone:</source>
        <translation>ハーフトーン：</translation>
    </message>
    <message>
        <source>EdgeEnhance:</source>
        <translation>エッジ強調：</translation>
    </message>
    <message>
        <source>Simulation Profile:</source>
        <translation>シミュレーションプロファイル：</translation>
    </message>
    <message>
        <source>Match Paper Color:</source>
        <translation>用紙色のシミュレーション：</translation>
    </message>
    <message>
        <source>CMYK Gray Treatment:</source>
        <translation>CMYK グレー処理：</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>イメージ</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>テキスト</translation>
    </message>
    <message>
        <source>Graphics</source>
        <translation>グラフィックス</translation>
    </message>
    <message>
        <source>Simulation</source>
        <translation>シミュレーション</translation>
    </message>
    <message>
        <source>Management Profile</source>
        <translation>プロファイル管理…</translation>
    </message>
    <message>
        <source>Download Manager</source>
        <translation>ダウンロードマネージャ…</translation>
    </message>
    <message>
        <source>Hide Advanced Options</source>
        <translation>詳細オプションを隠す</translation>
    </message>
    <message>
        <source>Image RGB Source</source>
        <translation>RGB ソース（イメージ）</translation>
    </message>
    <message>
        <source>Image RGB Intent</source>
        <translation>RGB レンダリングインテント（イメージ）</translation>
    </message>
    <message>
        <source>Image RGB Gray Treatment</source>
        <translation>RGB グレー処理（イメージ）</translation>
    </message>
    <message>
        <source>Image Destination Profile</source>
        <translation>出力プロファイル（イメージ）</translation>
    </message>
    <message>
        <source>Image Halftone</source>
        <translation>ハーフトーン（イメージ）</translation>
    </message>
    <message>
        <source>Image EdgeEnhance</source>
        <translation>エッジ強調（イメージ）</translation>
    </message>
    <message>
        <source>Text RGB Source</source>
        <translation>RGB ソース（テキスト）</translation>
    </message>
    <message>
        <source>Text RGB Intent</source>
        <translation>RGB レンダリングインテント（テキスト）</translation>
    </message>
    <message>
        <source>Text RGB Gray Treatment</source>
        <translation>RGB グレー処理（テキスト）</translation>
    </message>
    <message>
        <source>Text Destination Profile</source>
        <translation>出力プロファイル（テキスト）</translation>
    </message>
    <message>
        <source>Text Halftone</source>
        <translation>ハーフトーン（テキスト）</translation>
    </message>
    <message>
        <source>Text EdgeEnhance</source>
        <translation>エッジ強調（テキスト）</translation>
    </message>
    <message>
        <source>Graphics RGB Source</source>
        <translation>RGB ソース（グラフィックス）</translation>
    </message>
    <message>
        <source>Graphics RGB Intent</source>
        <translation>RGB レンダリングインテント（グラフィックス）</translation>
    </message>
    <message>
        <source>Graphics RGB Gray Treatment</source>
        <translation>RGB グレー処理（グラフィックス）</translation>
    </message>
    <message>
        <source>Graphics Destination Profile</source>
        <translation>出力プロファイル（グラフィックス）</translation>
    </message>
    <message>
        <source>Graphics Halftone</source>
        <translation>ハーフトーン（グラフィックス）</translation>
    </message>
    <message>
        <source>Graphics EdgeEnhance</source>
        <translation>エッジ強調（グラフィックス）</translation>
    </message>
    <message>
        <source>Simulation Profile</source>
        <translation>シミュレーションプロファイル</translation>
    </message>
    <message>
        <source>Match Paper Color</source>
        <translation>用紙色のシミュレーション</translation>
    </message>
    <message>
        <source>CMYK Gray Treatment</source>
        <translation>CMYK グレー処理</translation>
    </message>
    <message>
        <source>Disk</source>
        <translation>ディスク</translation>
    </message>
    <message>
        <source>Card</source>
        <translation>メモリーカード</translation>
    </message>
    <message>
        <source>ProfileTitle</source>
        <translation>プロファイル管理</translation>
    </message>
    <message>
        <source>Unavailable while %1 is on</source>
        <translation>「%1」がオンの間は使用できません</translation>
    </message>
    <message>
        <source>Unavailable while %1 is off</source>
        <translation>「%1」がオフの間は使用できません</translation>
    </message>
    <message>
        <source>Unavailable while %1 is %2</source>
        <translation>「%1」が「%2」の間は使用できません</translation>
    </message>
    <message>
        <source>Available with the %2 %1 only</source>
        <translation>「%1」が「%2」のときのみ使用できます</translation>
    </message>
    <message>
        <source>Profile Management</source>
        <translation>プロファイル管理</translation>
    </message>
    <message>
        <source>Profiles:</source>
        <translation>プロファイル：</translation>
    </message>
    <message>
        <source>RGB Source Profiles</source>
        <translation>RGB ソースプロファイル</translation>
    </message>
    <message>
        <source>Simulation Profiles</source>
        <translation>シミュレーションプロファイル</translation>
    </message>
    <message>
        <source>Destination Profiles</source>
        <translation>出力プロファイル</translation>
    </message>
    <message>
        <source>Profile List</source>
        <translation>プロファイル一覧</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>編集</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>ファイル名：</translation>
    </message>
    <message>
        <source>Browse…</source>
        <translation>参照…</translation>
    </message>
    <message>
        <source>Profile Name:</source>
        <translation>プロファイル名：</translation>
    </message>
    <message>
        <source>Location:</source>
        <translation>保存場所：</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>適用</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>In Menu</source>
        <translation>メニューに表示</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>ファイル名</translation>
    </message>
    <message>
        <source>Profile Name</source>
        <translation>プロファイル名</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>保存場所</translation>
    </message>
    <message>
        <source>The printer's PPD does not offer this option</source>
        <translation>このオプションはプリンタの PPD にありません</translation>
    </message>
    <message>
        <source>The profile service is not available</source>
        <translation>プロファイルサービスを利用できません</translation>
    </message>
    <message>
        <source>Cancel Entry</source>
        <translation>エントリをキャンセル</translation>
    </message>
    <message>
        <source>Darker</source>
        <translation>暗く</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>標準</translation>
    </message>
    <message>
        <source>Lighter</source>
        <translation>明るく</translation>
    </message>
    <message>
        <source>Content Type</source>
        <translation>コンテンツの種類</translation>
    </message>
</context>
</TS>
