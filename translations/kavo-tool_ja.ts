<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>Catalogue</name>
    <message>
        <source>データファイルの内容が正しくありませんでした</source>
        <translation>データファイルの内容が正しくありませんでした</translation>
    </message>
    <message>
        <source>データエラーで計算できませんでした</source>
        <translation>データエラーで計算できませんでした</translation>
    </message>
    <message>
        <source>データがありません</source>
        <translation>データがありません</translation>
    </message>
    <message>
        <source>参照データは５個までにしてください</source>
        <translation>参照データは５個までにしてください</translation>
    </message>
    <message>
        <source>印刷できませんでした。プリンタと出力先を確認して下さい。</source>
        <translation>印刷できませんでした。プリンタと出力先を確認して下さい。</translation>
    </message>
    <message>
        <source>抵抗値の最大値が150Ωを越えています</source>
        <translation>抵抗値の最大値が150Ωを越えています</translation>
    </message>
    <message>
        <source>初期設定ファイルを保存できませんでした</source>
        <translation>初期設定ファイルを保存できませんでした</translation>
    </message>
    <message>
        <source>致命的なメモリエラーです:</source>
        <translation>致命的なメモリエラーです:</translation>
    </message>
    <message>
        <source>COMポートが開けませんでした。COM番号を確認して下さい。</source>
        <translation>COMポートが開けませんでした。COM番号を確認して下さい。</translation>
    </message>
    <message>
        <source>KA-Vユニットが見つかりませんでした。COM番号を確認して下さい。</source>
        <translation>KA-Vユニットが見つかりませんでした。COM番号を確認して下さい。</translation>
    </message>
    <message>
        <source>測定データを保存していません。破棄して新しい測定を開始しますか？</source>
        <translation>測定データを保存していません。破棄して新しい測定を開始しますか？</translation>
    </message>
    <message>
        <source>測定データを保存していません。データを破棄しますか？</source>
        <translation>測定データを保存していません。データを破棄しますか？</translation>
    </message>
    <message>
        <source>測定データを保存していません。終了しますか？</source>
        <translation>測定データを保存していません。終了しますか？</translation>
    </message>
    <message>
        <source>測定データを保存していません。破棄しますか？</source>
        <translation>測定データを保存していません。破棄しますか？</translation>
    </message>
    <message>
        <source>ユニットとアプリケーションのバージョンがミスマッチです</source>
        <translation>ユニットとアプリケーションのバージョンがミスマッチです</translation>
    </message>
</context>
<context>
    <name>Interchange</name>
    <message>
        <source>%1行目: 数値として読めません (「%2」)</source>
        <translation>%1行目: 数値として読めません (「%2」)</translation>
    </message>
    <message>
        <source>%1行目: 周波数・インピーダンス・位相の2列か3列が必要です (%2列あります)</source>
        <translation>%1行目: 周波数・インピーダンス・位相の2列か3列が必要です (%2列あります)</translation>
    </message>
    <message>
        <source>%1行目: 周波数は正の値でなければなりません</source>
        <translation>%1行目: 周波数は正の値でなければなりません</translation>
    </message>
    <message>
        <source>%1行目: インピーダンスが範囲外です (0～655.35Ω)</source>
        <translation>%1行目: インピーダンスが範囲外です (0～655.35Ω)</translation>
    </message>
    <message>
        <source>%1行目: 位相が範囲外です (-360～360deg)</source>
        <translation>%1行目: 位相が範囲外です (-360～360deg)</translation>
    </message>
    <message>
        <source>データの行がありません</source>
        <translation>データの行がありません</translation>
    </message>
    <message>
        <source>異なる周波数のデータが2点以上必要です</source>
        <translation>異なる周波数のデータが2点以上必要です</translation>
    </message>
    <message>
        <source>ファイルを開けませんでした</source>
        <translation>ファイルを開けませんでした</translation>
    </message>
    <message>
        <source>ファイルが大きすぎます</source>
        <translation>ファイルが大きすぎます</translation>
    </message>
    <message>
        <source>帯域は1～4です</source>
        <translation>帯域は1～4です</translation>
    </message>
    <message>
        <source>表の周波数は %1～%2 Hz です。</source>
        <translation>表の周波数は %1～%2 Hz です。</translation>
    </message>
    <message>
        <source>帯域%1 (%2～%3 Hz) の全体を含んでいません</source>
        <translation>帯域%1 (%2～%3 Hz) の全体を含んでいません</translation>
    </message>
    <message>
        <source>%1 Hz の値を記録にできません</source>
        <translation>%1 Hz の値を記録にできません</translation>
    </message>
</context>
<context>
    <name>ToolText</name>
    <message>
        <source>options:</source>
        <translation>オプション:</translation>
    </message>
    <message>
        <source>this text</source>
        <translation>この説明</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>%1 は不明なオプションです</translation>
    </message>
    <message>
        <source>%1 is given more than once</source>
        <translation>%1 が 2 回以上指定されています</translation>
    </message>
    <message>
        <source>%1 takes no value</source>
        <translation>%1 は値をとりません</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 には値が必要です</translation>
    </message>
    <message>
        <source>no file given</source>
        <translation>ファイルが指定されていません</translation>
    </message>
    <message>
        <source>one file only</source>
        <translation>ファイルは 1 つだけです</translation>
    </message>
    <message>
        <source>%1 %2 is required</source>
        <translation>%1 %2 が必要です</translation>
    </message>
    <message>
        <source>the kind of table (zma unless given)</source>
        <translation>表の種類 (指定しなければ zma)</translation>
    </message>
    <message>
        <source>the values unaveraged, not as the window shows them</source>
        <translation>ウィンドウの表示のように平均せず、そのままの値</translation>
    </message>
    <message>
        <source>the table&apos;s file, - for standard output (beside FILE unless given)</source>
        <translation>表のファイル、- で標準出力 (指定しなければ FILE と同じ場所)</translation>
    </message>
    <message>
        <source>the curve as a ZMA, CSV or text table</source>
        <translation>曲線を ZMA・CSV・テキストの表に</translation>
    </message>
    <message>
        <source>unknown format %1</source>
        <translation>%1 は不明な形式です</translation>
    </message>
    <message>
        <source>cannot be written</source>
        <translation>書き込めませんでした</translation>
    </message>
    <message>
        <source>cannot be written (%1)</source>
        <translation>書き込めませんでした (%1)</translation>
    </message>
    <message>
        <source>cannot make a temporary copy</source>
        <translation>一時ファイルに写せませんでした</translation>
    </message>
    <message>
        <source>larger than %1 MiB</source>
        <translation>%1 MiB より大きすぎます</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>読み込めませんでした</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>ファイルがありません</translation>
    </message>
    <message>
        <source>is a folder</source>
        <translation>フォルダです</translation>
    </message>
    <message>
        <source>the file name is empty</source>
        <translation>ファイル名がありません</translation>
    </message>
    <message>
        <source>cannot be read (no permission)</source>
        <translation>読み込めませんでした (権限がありません)</translation>
    </message>
    <message>
        <source>%1: the output would replace the input %2</source>
        <translation>%1: 出力が入力ファイル %2 を置き換えてしまいます</translation>
    </message>
    <message>
        <source>%1: the output must end in %2</source>
        <translation>%1: 出力の拡張子は %2 のいずれかにして下さい</translation>
    </message>
    <message>
        <source>the measurement file to write, - for standard output</source>
        <translation>書き出す測定データファイル、- で標準出力</translation>
    </message>
    <message>
        <source>the band 1-4 (the first band the table covers whole unless given)</source>
        <translation>帯域 1～4 (指定しなければ表が全体を含む最初の帯域)</translation>
    </message>
    <message>
        <source>band %1 needs %2</source>
        <translation>帯域%1 には %2 が必要</translation>
    </message>
    <message>
        <source>band %1 (%2, %3 points) chosen: the table holds %4; %5</source>
        <translation>帯域%1 (%2、%3 点) を選びました: 表の周波数は %4 です。%5</translation>
    </message>
    <message>
        <source>a ZMA or text table from another program as a .DTA file</source>
        <translation>他のプログラムの ZMA・テキストの表を .DTA ファイルに</translation>
    </message>
    <message>
        <source>--band is 1, 2, 3 or 4</source>
        <translation>--band は 1、2、3、4 のいずれかです</translation>
    </message>
    <message>
        <source>commands:</source>
        <translation>コマンド:</translation>
    </message>
    <message>
        <source>A file named - is standard input where a file is read and standard output where one is written.
Exit status: 0 done, 1 failed, 2 a file that cannot be read, 64 a wrong command line.</source>
        <translation>ファイル名 - は、読むファイルでは標準入力、書くファイルでは標準出力です。
終了ステータス: 0 完了、1 失敗、2 読めないファイル、64 コマンドラインの誤り。</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos;</source>
        <translation>&apos;%1&apos; は不明なコマンドです</translation>
    </message>
    <message>
        <source>a reference curve (.DTA, .zma, .txt or .csv), up to 5</source>
        <translation>参照曲線 (.DTA・.zma・.txt・.csv)、5 個まで</translation>
    </message>
    <message>
        <source>R alone, without θ</source>
        <translation>θ なしで R だけ</translation>
    </message>
    <message>
        <source>the wide lines</source>
        <translation>太い線で</translation>
    </message>
    <message>
        <source>the picture&apos;s size in pixels, 200x150 to 4000x4000 (800x600 unless given)</source>
        <translation>画像の大きさ (ピクセル)、200x150～4000x4000 (指定しなければ 800x600)</translation>
    </message>
    <message>
        <source>the kind of picture (by OUT&apos;s extension unless given; png for -)</source>
        <translation>画像の種類 (指定しなければ OUT の拡張子による。- では png)</translation>
    </message>
    <message>
        <source>the picture&apos;s file, - for standard output</source>
        <translation>画像のファイル、- で標準出力</translation>
    </message>
    <message>
        <source>--size is WxH, 200x150 to 4000x4000</source>
        <translation>--size は 幅x高さ で、200x150～4000x4000 です</translation>
    </message>
    <message>
        <source>at most %1 references</source>
        <translation>参照は %1 個までです</translation>
    </message>
    <message>
        <source>the graph as a picture</source>
        <translation>グラフを画像に</translation>
    </message>
    <message>
        <source>drawing needs the widget application</source>
        <translation>描画にはウィジェットのアプリケーションが必要です</translation>
    </message>
    <message>
        <source>a line of the page&apos;s information, up to 3</source>
        <translation>ページの情報の 1 行、3 行まで</translation>
    </message>
    <message>
        <source>the page across (upright unless given)</source>
        <translation>ページを横向きに (指定しなければ縦向き)</translation>
    </message>
    <message>
        <source>the resolution, 50 to 600 (600 unless given)</source>
        <translation>解像度、50～600 (指定しなければ 600)</translation>
    </message>
    <message>
        <source>the page&apos;s file, - for standard output</source>
        <translation>ページのファイル、- で標準出力</translation>
    </message>
    <message>
        <source>--dpi takes a whole number from %1 to %2</source>
        <translation>--dpi は %1～%2 の整数です</translation>
    </message>
    <message>
        <source>at most three --info lines</source>
        <translation>--info は 3 行までです</translation>
    </message>
    <message>
        <source>--info line %1 is not one line of at most %2 bytes in code page 932</source>
        <translation>--info の %1 行目が、コードページ 932 で %2 バイト以内の 1 行ではありません</translation>
    </message>
    <message>
        <source>the printed page of the graph as a PDF</source>
        <translation>グラフの印刷ページを PDF に</translation>
    </message>
    <message>
        <source>standard output</source>
        <translation>標準出力</translation>
    </message>
    <message>
        <source>standard input</source>
        <translation>標準入力</translation>
    </message>
    <message>
        <source>the voice coil&apos;s DC resistance: adds the Thiele-Small parameters</source>
        <translation>ボイスコイルの直流抵抗: Thiele-Small パラメータを加える</translation>
    </message>
    <message>
        <source>the numbers in full, not rounded as the window shows them</source>
        <translation>ウィンドウの表示のように丸めず、すべての桁の数値</translation>
    </message>
    <message>
        <source>the cone&apos;s area: adds the mechanical parameters</source>
        <translation>振動板の面積: 機械系のパラメータを加える</translation>
    </message>
    <message>
        <source>the mass added for the second measurement, in grams</source>
        <translation>2 回目の測定で加えた質量 (グラム)</translation>
    </message>
    <message>
        <source>the measurement with the added mass</source>
        <translation>質量を加えた測定</translation>
    </message>
    <message>
        <source>the closed box&apos;s volume, in litres</source>
        <translation>密閉箱の容積 (リットル)</translation>
    </message>
    <message>
        <source>the measurement in the closed box</source>
        <translation>密閉箱に入れた測定</translation>
    </message>
    <message>
        <source>the air&apos;s density (1.18 unless given)</source>
        <translation>空気の密度 (指定しなければ 1.18)</translation>
    </message>
    <message>
        <source>the speed of sound (345 unless given)</source>
        <translation>音速 (指定しなければ 345)</translation>
    </message>
    <message>
        <source>resonance peaks, with --re the Thiele-Small parameters, with --sd the mechanical ones</source>
        <translation>共振のピーク、--re で Thiele-Small パラメータ、--sd で機械系のパラメータ</translation>
    </message>
    <message>
        <source>--sd needs --re and either --added-mass G with --loaded FILE2 (added-mass method)
or --box-litres L with --boxed FILE2 (closed-box method).</source>
        <translation>--sd には --re と、--added-mass G と --loaded FILE2 (質量付加法)
または --box-litres L と --boxed FILE2 (密閉箱法) が必要です。</translation>
    </message>
    <message>
        <source>f1 lies below the band; taken as Fs²/f2 = %1 Hz</source>
        <translation>f1 が帯域より下にあるため Fs²/f2 = %1 Hz としました</translation>
    </message>
    <message>
        <source>the mechanical parameters need --sd CM2 (the cone area)</source>
        <translation>機械系のパラメータには --sd CM2 (振動板の面積) が必要です</translation>
    </message>
    <message>
        <source>the mechanical parameters need --re OHMS</source>
        <translation>機械系のパラメータには --re OHMS が必要です</translation>
    </message>
    <message>
        <source>give either --added-mass/--loaded or --box-litres/--boxed, not both</source>
        <translation>--added-mass/--loaded と --box-litres/--boxed のどちらか一方だけを指定して下さい</translation>
    </message>
    <message>
        <source>--sd needs --added-mass GRAMS --loaded FILE or --box-litres L --boxed FILE</source>
        <translation>--sd には --added-mass GRAMS --loaded FILE または --box-litres L --boxed FILE が必要です</translation>
    </message>
    <message>
        <source>the added-mass method needs both --added-mass GRAMS and --loaded FILE</source>
        <translation>質量付加法には --added-mass GRAMS と --loaded FILE の両方が必要です</translation>
    </message>
    <message>
        <source>the closed-box method needs both --box-litres L and --boxed FILE</source>
        <translation>密閉箱法には --box-litres L と --boxed FILE の両方が必要です</translation>
    </message>
    <message>
        <source>%1 must be a number above 0, not &apos;%2&apos;</source>
        <translation>%1 は 0 より大きな数値にして下さい (&apos;%2&apos; ではなく)</translation>
    </message>
    <message>
        <source>already read for another file</source>
        <translation>別のファイルとしてすでに読まれています</translation>
    </message>
    <message>
        <source>the voice coil&apos;s DC resistance, held fixed</source>
        <translation>ボイスコイルの直流抵抗 (固定値)</translation>
    </message>
    <message>
        <source>fit Re as well (instead of --re)</source>
        <translation>Re も適合する (--re の代わりに)</translation>
    </message>
    <message>
        <source>the voice coil: jωLe, an LR2 network or a semi-inductance (semi unless given)</source>
        <translation>ボイスコイル: jωLe、LR2 回路またはセミインダクタンス (指定しなければ semi)</translation>
    </message>
    <message>
        <source>model the suspension&apos;s creep (the default)</source>
        <translation>サスペンションのクリープを含める (既定)</translation>
    </message>
    <message>
        <source>a plain compliance</source>
        <translation>クリープのないコンプライアンス</translation>
    </message>
    <message>
        <source>the range&apos;s lower end (the curve&apos;s start unless given)</source>
        <translation>範囲の下限 (指定しなければ曲線の始まり)</translation>
    </message>
    <message>
        <source>the range&apos;s upper end (6 times the R peak&apos;s frequency unless given)</source>
        <translation>範囲の上限 (指定しなければ R のピーク周波数の6倍)</translation>
    </message>
    <message>
        <source>the cone&apos;s area: adds Vas, needed with a box</source>
        <translation>振動板の面積: Vas を加える。密閉箱には必要</translation>
    </message>
    <message>
        <source>one JSON object instead of the table</source>
        <translation>表の代わりに JSON オブジェクトひとつ</translation>
    </message>
    <message>
        <source>also write a WinISD-style driver file (SI units)</source>
        <translation>WinISD 形式のドライバファイルも書く (SI 単位)</translation>
    </message>
    <message>
        <source>the driver file&apos;s Brand</source>
        <translation>ドライバファイルの Brand</translation>
    </message>
    <message>
        <source>the driver file&apos;s Model</source>
        <translation>ドライバファイルの Model</translation>
    </message>
    <message>
        <source>--model takes le, lr2 or semi</source>
        <translation>--model は le、lr2 または semi です</translation>
    </message>
    <message>
        <source>give --creep or --no-creep, not both</source>
        <translation>--creep と --no-creep のどちらか一方を指定してください</translation>
    </message>
    <message>
        <source>give either --re OHMS or --fit-re</source>
        <translation>--re OHMS か --fit-re のどちらかを指定してください</translation>
    </message>
    <message>
        <source>--added-mass G and --loaded FILE go together</source>
        <translation>--added-mass G と --loaded FILE は一緒に指定します</translation>
    </message>
    <message>
        <source>--box-litres L and --boxed FILE go together</source>
        <translation>--box-litres L と --boxed FILE は一緒に指定します</translation>
    </message>
    <message>
        <source>the closed box needs --sd CM2</source>
        <translation>密閉箱には --sd CM2 が必要です</translation>
    </message>
    <message>
        <source>--fmin must be below --fmax</source>
        <translation>--fmin は --fmax より小さくしてください</translation>
    </message>
    <message>
        <source>the driver&apos;s model fitted to the curve(s): every value with its ±1σ</source>
        <translation>ドライバのモデルを曲線に適合: すべての値に ±1σ</translation>
    </message>
    <message>
        <source>Needs --re OHMS or --fit-re. Tables (.zma, .csv, .txt) are read wherever a .DTA is.
Mms, Cms, Rms and Bl need a second curve (--added-mass with --loaded, or
--box-litres with --boxed and --sd); Vas needs --sd as well.</source>
        <translation>--re OHMS か --fit-re が必要です。表 (.zma, .csv, .txt) は .DTA と同じように読めます。
Mms、Cms、Rms と Bl には2回目の曲線 (--added-mass と --loaded、または
--box-litres と --boxed と --sd) が必要です。Vas には --sd も必要です。</translation>
    </message>
    <message>
        <source>warning: %1</source>
        <translation>警告: %1</translation>
    </message>
    <message>
        <source>also write every file&apos;s verdict and parameters as CSV</source>
        <translation>各ファイルの判定とパラメータを CSV にも書く</translation>
    </message>
    <message>
        <source>one JSON object instead of the lines and the statistics</source>
        <translation>行と統計の代わりに JSON オブジェクトを一つ</translation>
    </message>
    <message>
        <source>also draw the reference, its band and the failing curves</source>
        <translation>参照と許容範囲、不合格の曲線を画像にも描く</translation>
    </message>
    <message>
        <source>at most N pairs (as many as there are unless given)</source>
        <translation>N 組まで（指定がなければ組めるだけ）</translation>
    </message>
    <message>
        <source>the voice coil&apos;s Re: adds the Qts difference to the distance</source>
        <translation>ボイスコイルの Re：距離に Qts の差を加える</translation>
    </message>
    <message>
        <source>the band&apos;s lower end (the lowest all curves cover unless given)</source>
        <translation>帯域の下限（指定がなければ全曲線に共通の最低周波数）</translation>
    </message>
    <message>
        <source>the band&apos;s upper end (the highest all curves cover unless given)</source>
        <translation>帯域の上限（指定がなければ全曲線に共通の最高周波数）</translation>
    </message>
    <message>
        <source>each file PASS or FAIL against a reference under the rules&apos; tolerances</source>
        <translation>規則の許容範囲で各ファイルを参照と比べて PASS か FAIL に</translation>
    </message>
    <message>
        <source>the drivers paired by likeness of curve, Fs and Qts, best pairs first</source>
        <translation>曲線・Fs・Qts の近いドライバーを組にする（近い組から）</translation>
    </message>
    <message>
        <source>One line per pair: FILE&lt;TAB&gt;FILE&lt;TAB&gt;distance in %. The distance is
√(ΔR² + ΔFs² + ΔQts²): the RMS of R&apos;s relative difference on 200
log-spaced frequencies of the band, and Fs&apos;s and Qts&apos;s relative differences.</source>
        <translation>一組に一行：FILE&lt;TAB&gt;FILE&lt;TAB&gt;距離（%）。距離は
√(ΔR² + ΔFs² + ΔQts²)：帯域の対数等間隔 200 点での R の相対差の RMS と、
Fs と Qts の相対差です。</translation>
    </message>
    <message>
        <source>no readable file for the mean reference</source>
        <translation>平均の参照にする読めるファイルがありません</translation>
    </message>
    <message>
        <source>--pairs takes a whole number from 1</source>
        <translation>--pairs には 1 以上の整数を指定してください</translation>
    </message>
    <message>
        <source>the curves have no band in common</source>
        <translation>曲線に共通の帯域がありません</translation>
    </message>
    <message>
        <source>the reference has no points in the range</source>
        <translation>参照の比較範囲に測定点がありません</translation>
    </message>
    <message>
        <source>reference: the mean</source>
        <translation>参照：平均</translation>
    </message>
    <message>
        <source>reference: %1</source>
        <translation>参照：%1</translation>
    </message>
    <message>
        <source>%1 - would mix its file with the report on standard output</source>
        <translation>%1 - では標準出力の報告と混ざります</translation>
    </message>
    <message>
        <source>One line per file: PASS&lt;TAB&gt;FILE or FAIL&lt;TAB&gt;FILE&lt;TAB&gt;reason; reason; ...
then the statistics per parameter (STAT, name, count, mean, σ, min, max).
Exit status: 0 all pass, 1 any fails, 2 a file cannot be read (the others
are checked) or --csv/--plot cannot be written, 64 a wrong command line or
rules file. The report is on standard output: --csv and --plot take no -.</source>
        <translation>ファイルごとに一行：PASS&lt;TAB&gt;FILE または FAIL&lt;TAB&gt;FILE&lt;TAB&gt;理由; 理由; ...
その後にパラメータごとの統計（STAT、名前、個数、平均、σ、最小、最大）。
終了ステータス：0 すべて合格、1 不合格あり、2 読めないファイルあり（他は
検査します）か --csv/--plot を書けない、64 コマンドラインか規則ファイルの誤り。
報告は標準出力に出ます：--csv と --plot に - は使えません。</translation>
    </message>
    <message>
        <source>two files at least</source>
        <translation>ファイルを二つ以上指定してください</translation>
    </message>
    <message>
        <source>%1 and %2 are one file</source>
        <translation>%1 と %2 は同じファイルです</translation>
    </message>
    <message>
        <source>not paired: %1</source>
        <translation>組にしません: %1</translation>
    </message>
    <message>
        <source>fewer than two drivers to pair</source>
        <translation>組にできるドライバーが二つ未満です</translation>
    </message>
    <message>
        <source>the range %1 is not inside the band every curve covers, %2</source>
        <translation>範囲 %1 がすべての曲線に共通の帯域 %2 の中にありません</translation>
    </message>
    <message>
        <source>no re = OHMS given</source>
        <translation>Re が指定されていません（re = OHMS）</translation>
    </message>
    <message>
        <source>not a value of the fitted model</source>
        <translation>適合したモデルにない値です</translation>
    </message>
    <message>
        <source>%1 leaves the band at %2 by up to %3 (allowed ±%4)</source>
        <translation>%1 が %2 で許容範囲外（最大 %3、許容 ±%4）</translation>
    </message>
    <message>
        <source>the curve does not cover the range %1</source>
        <translation>曲線が比較範囲 %1 を覆っていません</translation>
    </message>
    <message>
        <source>the curve has no point in the range %1</source>
        <translation>曲線に比較範囲 %1 の測定点がありません</translation>
    </message>
    <message>
        <source>%1 %2 outside %3</source>
        <translation>%1 %2 が %3 の外</translation>
    </message>
    <message>
        <source>%1 not determined: %2</source>
        <translation>%1 が求まりません: %2</translation>
    </message>
    <message>
        <source>the reference has no %1</source>
        <translation>参照の %1 が求まりません</translation>
    </message>
    <message>
        <source>not a key = value line</source>
        <translation>「キー = 値」の形ではありません</translation>
    </message>
    <message>
        <source>no key before =</source>
        <translation>キーがありません</translation>
    </message>
    <message>
        <source>unknown key &apos;%1&apos;</source>
        <translation>不明なキー &apos;%1&apos;</translation>
    </message>
    <message>
        <source>&apos;%1&apos; given twice</source>
        <translation>&apos;%1&apos; が二度指定されています</translation>
    </message>
    <message>
        <source>no value for &apos;%1&apos;</source>
        <translation>&apos;%1&apos; に値がありません</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a number or a percent</source>
        <translation>&apos;%1&apos; は数値でもパーセントでもありません</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not an angle in deg</source>
        <translation>&apos;%1&apos; は角度（deg）ではありません</translation>
    </message>
    <message>
        <source>range takes FMIN FMAX in Hz, FMIN below FMAX: &apos;%1&apos;</source>
        <translation>range は「下限 上限」（Hz、下限 &lt; 上限）です: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>re takes ohms above 0: &apos;%1&apos;</source>
        <translation>re は0より大きな抵抗値（Ω）です: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>the interval&apos;s low end is above its high end: &apos;%1&apos;</source>
        <translation>範囲の下限が上限より大きくなっています: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>no reference (reference = PATH or reference = mean)</source>
        <translation>参照がありません（reference = PATH または reference = mean）</translation>
    </message>
    <message>
        <source>%1 needs re = OHMS</source>
        <translation>%1 には re = OHMS が必要です</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not determined by the check&apos;s fit of one curve (semi coil, creep)</source>
        <translation>&apos;%1&apos; は検査の解析（1本の曲線の適合、semi、クリープ）では求まりません</translation>
    </message>
    <message>
        <source>nothing to check: no R, theta or parameter limit</source>
        <translation>検査する項目がありません（R、theta、パラメータの許容範囲のどれも）</translation>
    </message>
    <message>
        <source>too large for a rules file (1 MiB at most)</source>
        <translation>許容範囲ファイルとしては大きすぎます（1 MiB まで）</translation>
    </message>
    <message>
        <source>the reference %1 cannot be read: %2</source>
        <translation>参照 %1 を読めません: %2</translation>
    </message>
    <message>
        <source>the reference has no point</source>
        <translation>参照に測定点がありません</translation>
    </message>
    <message>
        <source>the range %1 Hz holds no point of the reference</source>
        <translation>比較範囲 %1 Hz に参照の測定点がありません</translation>
    </message>
    <message>
        <source>the start of the driver file&apos;s Comment</source>
        <translation>ドライバファイルの Comment の先頭</translation>
    </message>
    <message>
        <source>%1 must not hold line breaks or other control characters</source>
        <translation>%1 に改行などの制御文字は使えません</translation>
    </message>
    <message>
        <source>--brand, --model-name and --comment go with --wdr</source>
        <translation>--brand、--model-name と --comment は --wdr と一緒に指定します</translation>
    </message>
    <message>
        <source>the data hold values that are not finite numbers</source>
        <translation>測定値に数値でない値があります</translation>
    </message>
    <message>
        <source>too few points in the frequency range (10 or more per curve)</source>
        <translation>周波数範囲の測定点が少なすぎます（各曲線に10点以上必要です）</translation>
    </message>
    <message>
        <source>no resonance peak in the frequency range</source>
        <translation>周波数範囲に共振のピークが見つかりません</translation>
    </message>
    <message>
        <source>Re must be above 0 and below the R of the resonance peak</source>
        <translation>Reは0より大きく、ピークのRより小さな値にしてください</translation>
    </message>
    <message>
        <source>the resonance with the added mass is not below the free one</source>
        <translation>付加質量での共振周波数がフリーの共振周波数より低くありません</translation>
    </message>
    <message>
        <source>the resonance in the closed box is not above the free one</source>
        <translation>密閉箱での共振周波数がフリーの共振周波数より高くありません</translation>
    </message>
    <message>
        <source>the closed-box curve needs Sd</source>
        <translation>密閉箱の測定にはSdが必要です</translation>
    </message>
    <message>
        <source>the fit did not converge</source>
        <translation>適合が収束しませんでした</translation>
    </message>
    <message>
        <source>poor fit: the residual %1 % is above %2 % (try another voice-coil model or range)</source>
        <translation>適合不良: 残差 %1 % が %2 % を超えています（ボイスコイルのモデルか周波数範囲を変えてください）</translation>
    </message>
    <message>
        <source>the added mass shifts Fs by %1 % (outside 15–45 % the result is ill-conditioned)</source>
        <translation>付加質量によるFsの変化が %1 % です（15～45 % でないと結果が不安定です）</translation>
    </message>
    <message>
        <source>the closed box shifts Fs by %1 % (outside 15–45 % the result is ill-conditioned)</source>
        <translation>密閉箱によるFsの変化が %1 % です（15～45 % でないと結果が不安定です）</translation>
    </message>
    <message>
        <source>the added-mass and closed-box measurements disagree on Mms beyond their uncertainties (%1 g and %2 g)</source>
        <translation>付加質量と密閉箱の測定でMmsが不確かさを超えて異なります（%1 g と %2 g）</translation>
    </message>
    <message>
        <source>the part (auto unless given: recognised from θ)</source>
        <translation>部品（既定は auto: θ から判定）</translation>
    </message>
    <message>
        <source>also the part&apos;s value at this frequency (may be repeated)</source>
        <translation>この周波数での部品の値も求める（複数回指定可）</translation>
    </message>
    <message>
        <source>a crossover part&apos;s values fitted to its curve: inductor, capacitor or resistor</source>
        <translation>ネットワーク部品の値を曲線への適合で求める: インダクタ、コンデンサ、抵抗</translation>
    </message>
    <message>
        <source>Reports L, Rdc and Q at 1 kHz; C, ESR, ESL and D at 1 kHz; or R and Ls. Points
beyond what the unit resolves (|Z| below 0.05 Ω or at its 655.35 Ω ceiling) are
left out; when too few remain, the message names the band to measure.</source>
        <translation>L、Rdc、1 kHz での Q、または C、ESR、ESL、1 kHz での D、または R と Ls を出力します。
本器が分解できない測定点（|Z| が 0.05 Ω 未満か上限 655.35 Ω）は除き、残りが
少なすぎるときは測定すべき帯域をメッセージで示します。</translation>
    </message>
    <message>
        <source>--kind takes auto, inductor, capacitor or resistor</source>
        <translation>--kind は auto、inductor、capacitor、resistor のいずれかです</translation>
    </message>
    <message>
        <source>the curve shows a driver&apos;s resonance, not a part (use fit or compensate)</source>
        <translation>曲線はスピーカーの共振を示しており、部品ではありません（fit か compensate を使って下さい）</translation>
    </message>
    <message>
        <source>θ fits none of the parts: give --kind</source>
        <translation>θ がどの部品にも合いません: --kind を指定して下さい</translation>
    </message>
    <message>
        <source>%1 of %2 points lie beyond what the unit resolves (|Z| from %3 to %4 Ω): measure band %5 (%6–%7 Hz) instead</source>
        <translation>%2 点中 %1 点が本器の分解できる範囲（|Z| %3～%4 Ω）の外です: 帯域 %5（%6–%7 Hz）で測定して下さい</translation>
    </message>
    <message>
        <source>%1 of %2 points lie beyond what the unit resolves (|Z| from %3 to %4 Ω), and no band of the unit resolves this part</source>
        <translation>%2 点中 %1 点が本器の分解できる範囲（|Z| %3～%4 Ω）の外で、この部品を分解できる帯域はありません</translation>
    </message>
    <message>
        <source>recognised from θ as an inductor</source>
        <translation>θ からインダクタと判定しました</translation>
    </message>
    <message>
        <source>recognised from θ as a capacitor</source>
        <translation>θ からコンデンサと判定しました</translation>
    </message>
    <message>
        <source>recognised from θ as a resistor</source>
        <translation>θ から抵抗と判定しました</translation>
    </message>
    <message>
        <source>%1 of %2 points left out: beyond what the unit resolves</source>
        <translation>%2 点中 %1 点を除きました: 本器の分解できる範囲の外です</translation>
    </message>
    <message>
        <source>%1 needs two values</source>
        <translation>%1 には値が 2 つ必要です</translation>
    </message>
    <message>
        <source>the voice coil&apos;s DC resistance: the driver&apos;s model is fitted with it</source>
        <translation>ボイスコイルの直流抵抗: スピーカーのモデルをこの値で適合します</translation>
    </message>
    <message>
        <source>Re, Fs, Qms and Qes from a driver file instead of --re</source>
        <translation>--re の代わりにドライバファイルの Re、Fs、Qms、Qes を使う</translation>
    </message>
    <message>
        <source>design the Zobel network (with --notch: both, the default)</source>
        <translation>ゾベル回路を設計する（--notch と共に: 両方、既定）</translation>
    </message>
    <message>
        <source>design the notch across the resonance</source>
        <translation>共振を抑えるノッチを設計する</translation>
    </message>
    <message>
        <source>the band to flatten in Hz (unless given 3 times Fs to the curve&apos;s top; for a notch alone the curve&apos;s bottom to 3 times Fs)</source>
        <translation>平坦にする帯域 Hz（既定は Fs の 3 倍から曲線の上端、ノッチだけなら曲線の下端から Fs の 3 倍）</translation>
    </message>
    <message>
        <source>the standard values (E12 for L and C, E24 for R unless given)</source>
        <translation>標準値の系列（既定は L と C が E12、R が E24）</translation>
    </message>
    <message>
        <source>the drive into the nominal impedance for the Zobel resistor&apos;s power (10 W)</source>
        <translation>ゾベル抵抗の電力を求める公称インピーダンスへの入力電力（10 W）</translation>
    </message>
    <message>
        <source>also write the compensated curve (standard values) as a ZMA table</source>
        <translation>補正後の曲線（標準値）を ZMA 表にも書く</translation>
    </message>
    <message>
        <source>a Zobel network and a notch designed to flatten the driver&apos;s measured impedance</source>
        <translation>測定したスピーカーのインピーダンスを平坦にするゾベル回路とノッチを設計する</translation>
    </message>
    <message>
        <source>Needs --re OHMS or --driver FILE.wdr. Prints each component with ±σ and its standard
value, the flatness (largest deviation from Re over the band, exact and standard)
and the power the Zobel resistor takes at the top of the band.</source>
        <translation>--re OHMS か --driver FILE.wdr が必要です。各素子を ±σ と標準値と共に、平坦度
（帯域での Re からの最大のずれ、計算値と標準値）と、帯域の上端でゾベル抵抗が
消費する電力を出力します。</translation>
    </message>
    <message>
        <source>give either --re OHMS or --driver FILE.wdr</source>
        <translation>--re OHMS か --driver FILE.wdr のどちらかを指定して下さい</translation>
    </message>
    <message>
        <source>--band takes two frequencies in Hz, the lower first</source>
        <translation>--band には周波数 (Hz) を 2 つ、低い方から指定して下さい</translation>
    </message>
    <message>
        <source>--series takes E12, E24 or exact</source>
        <translation>--series は E12、E24、exact のいずれかです</translation>
    </message>
    <message>
        <source>not a driver file with Re, Fs, Qms and Qes</source>
        <translation>Re、Fs、Qms、Qes のあるドライバファイルではありません</translation>
    </message>
    <message>
        <source>no driver&apos;s resonance in the curve (a part&apos;s curve goes to kavo-tool part)</source>
        <translation>曲線にスピーカーの共振がありません（部品の曲線は kavo-tool part へ）</translation>
    </message>
    <message>
        <source>the driver&apos;s model: %1</source>
        <translation>スピーカーのモデル: %1</translation>
    </message>
    <message>
        <source>the band must lie within the curve and hold %1 points or more</source>
        <translation>帯域は曲線の範囲内にあり、%1 点以上を含む必要があります</translation>
    </message>
    <message>
        <source>too few points within what the unit resolves</source>
        <translation>本器が分解できる範囲の測定点が足りません</translation>
    </message>
    <message>
        <source>a driver&apos;s curve, not a part&apos;s</source>
        <translation>部品ではなくスピーカーの曲線です</translation>
    </message>
    <message>
        <source>θ fits none of the parts</source>
        <translation>θ がどの部品にも合いません</translation>
    </message>
    <message>
        <source>the σ of the given Re (1 % of it unless given)</source>
        <translation>与えた Re の σ（指定がなければその 1 %）</translation>
    </message>
    <message>
        <source>the σ of the added mass (0.5 % of it unless given)</source>
        <translation>付加質量の σ（指定がなければその 0.5 %）</translation>
    </message>
    <message>
        <source>%1 must be a number, 0 or above, not &apos;%2&apos;</source>
        <translation>%1 は 0 以上の数値です（&apos;%2&apos; ではなく）</translation>
    </message>
    <message>
        <source>--re-sigma goes with --re</source>
        <translation>--re-sigma は --re と一緒に指定します</translation>
    </message>
    <message>
        <source>--mass-sigma goes with --added-mass</source>
        <translation>--mass-sigma は --added-mass と一緒に指定します</translation>
    </message>
    <message>
        <source>no peak was found</source>
        <translation>ピークは検出できませんでした</translation>
    </message>
    <message>
        <source>the value of Re is not valid</source>
        <translation>Re の値が正しくありません</translation>
    </message>
    <message>
        <source>f1 cannot be found</source>
        <translation>f1 が求まりませんでした</translation>
    </message>
    <message>
        <source>f2 cannot be found</source>
        <translation>f2 が求まりませんでした</translation>
    </message>
    <message>
        <source>f1 and f2 cannot be computed correctly</source>
        <translation>f1,f2 が正しく計算できませんでした</translation>
    </message>
    <message>
        <source>Re must be above 0</source>
        <translation>Re は 0 より大きくして下さい</translation>
    </message>
    <message>
        <source>Sd must be above 0</source>
        <translation>Sd は 0 より大きくして下さい</translation>
    </message>
    <message>
        <source>air density and speed of sound must be above 0</source>
        <translation>空気の密度と音速は 0 より大きくして下さい</translation>
    </message>
    <message>
        <source>the free driver&apos;s Fs, Qms and Qes are needed</source>
        <translation>単体のユニットの Fs・Qms・Qes が必要です</translation>
    </message>
    <message>
        <source>the added mass must be above 0</source>
        <translation>付加質量は 0 より大きくして下さい</translation>
    </message>
    <message>
        <source>the loaded resonance (%1 Hz) is not below the free one (%2 Hz)</source>
        <translation>質量を加えた共振周波数 (%1 Hz) が単体の共振周波数 (%2 Hz) より低くありません</translation>
    </message>
    <message>
        <source>the box volume must be above 0</source>
        <translation>箱の容積は 0 より大きくして下さい</translation>
    </message>
    <message>
        <source>the boxed resonance (%1 Hz) is not above the free one (%2 Hz)</source>
        <translation>箱に入れた共振周波数 (%1 Hz) が単体の共振周波数 (%2 Hz) より高くありません</translation>
    </message>
    <message>
        <source>the boxed driver&apos;s Qes is needed</source>
        <translation>箱に入れたユニットの Qes が必要です</translation>
    </message>
    <message>
        <source>Fc·Qec (%1) is not above Fs·Qes (%2): the box measurement does not fit the free one</source>
        <translation>Fc·Qec (%1) が Fs·Qes (%2) より大きくありません: 箱に入れた測定が単体の測定と合いません</translation>
    </message>
    <message>
        <source>the measurements give no finite result</source>
        <translation>測定から有限の結果が得られません</translation>
    </message>
    <message>
        <source>the fit gives no finite value: no resonance the model can describe in the range</source>
        <translation>適合で有限の値が得られません（周波数範囲にモデルで表せる共振がありません）</translation>
    </message>
    <message>
        <source>the uncertainties cannot be computed (the data do not determine every parameter)</source>
        <translation>不確かさを計算できません（データでは決まらないパラメータがあります）</translation>
    </message>
    <message>
        <source>the coil models disagree on Re: %1 Ω here, %2 Ω with the other coil model; give --re</source>
        <translation>ボイスコイルのモデルで Re が異なります（%1 Ω と別のモデルで %2 Ω）。--re を指定してください</translation>
    </message>
    <message>
        <source>no phase: magnitude fitted</source>
        <translation>位相なし：振幅のみで適合</translation>
    </message>
    <message>
        <source>a closed box</source>
        <translation>密閉箱</translation>
    </message>
    <message>
        <source>a vented box (bass reflex)</source>
        <translation>バスレフ箱</translation>
    </message>
    <message>
        <source>the box&apos;s net volume in litres: gives Vas from α</source>
        <translation>箱の正味の容積 (リットル): α から Vas を求める</translation>
    </message>
    <message>
        <source>its uncertainty (3 % unless given)</source>
        <translation>その不確かさ (指定しなければ 3 %)</translation>
    </message>
    <message>
        <source>the driver&apos;s free-air curve, fitted jointly with the box</source>
        <translation>ユニット単体 (フリー) の曲線。箱と一緒に適合する</translation>
    </message>
    <message>
        <source>the driver from a driver file (σ from its comment)</source>
        <translation>ユニットの値をドライバファイルから (σ はその Comment から)</translation>
    </message>
    <message>
        <source>the driver&apos;s Fs, given</source>
        <translation>ユニットの Fs</translation>
    </message>
    <message>
        <source>the driver&apos;s Qts, given</source>
        <translation>ユニットの Qts</translation>
    </message>
    <message>
        <source>the driver&apos;s Qms, given</source>
        <translation>ユニットの Qms</translation>
    </message>
    <message>
        <source>the driver&apos;s Qes, given</source>
        <translation>ユニットの Qes</translation>
    </message>
    <message>
        <source>the driver&apos;s Vas in litres, given: gives Vab</source>
        <translation>ユニットの Vas (リットル): Vab を求める</translation>
    </message>
    <message>
        <source>the given driver values&apos; uncertainty in % (Fs 1, Q 3, Vas 10 unless given)</source>
        <translation>与えたユニットの値の不確かさ (%、指定しなければ Fs 1、Q 3、Vas 10)</translation>
    </message>
    <message>
        <source>the voice coil&apos;s DC resistance (the driver file&apos;s, or fitted, unless given)</source>
        <translation>ボイスコイルの直流抵抗 (指定しなければドライバファイルの値か適合で求める)</translation>
    </message>
    <message>
        <source>its uncertainty (1 % unless given)</source>
        <translation>その不確かさ (指定しなければ 1 %)</translation>
    </message>
    <message>
        <source>the cone&apos;s area: Vas from a driver file&apos;s Cms</source>
        <translation>振動板の面積: ドライバファイルの Cms から Vas を求める</translation>
    </message>
    <message>
        <source>the voice coil: jωLe or a semi-inductance (semi unless given)</source>
        <translation>ボイスコイル: jωLe またはセミインダクタンス (指定しなければ semi)</translation>
    </message>
    <message>
        <source>the range&apos;s lower end (the curves&apos; start unless given)</source>
        <translation>範囲の下限 (指定しなければ曲線の始まり)</translation>
    </message>
    <message>
        <source>the range&apos;s upper end (6 times the highest peak unless given)</source>
        <translation>範囲の上限 (指定しなければ最も高いピークの6倍)</translation>
    </message>
    <message>
        <source>give either --closed or --vented</source>
        <translation>--closed か --vented のどちらかを指定してください</translation>
    </message>
    <message>
        <source>give the driver by one of --free FREE, --driver FILE.wdr or --fs HZ with its Q values</source>
        <translation>ユニットは --free FREE、--driver FILE.wdr、または --fs HZ と Q の値のどれか一つで指定してください</translation>
    </message>
    <message>
        <source>the driver&apos;s values need --fs HZ and --qts Q (or --qms and --qes)</source>
        <translation>ユニットの値には --fs HZ と --qts Q (または --qms と --qes) が必要です</translation>
    </message>
    <message>
        <source>--driver-sigma goes with --driver or the driver&apos;s values</source>
        <translation>--driver-sigma は --driver かユニットの値と一緒に指定します</translation>
    </message>
    <message>
        <source>--vb-sigma goes with --vb</source>
        <translation>--vb-sigma は --vb と一緒に指定します</translation>
    </message>
    <message>
        <source>--sd goes with --driver</source>
        <translation>--sd は --driver と一緒に指定します</translation>
    </message>
    <message>
        <source>--model takes le or semi</source>
        <translation>--model は le または semi です</translation>
    </message>
    <message>
        <source>not a driver file with Fs and two of Qms, Qes, Qts</source>
        <translation>Fs と Qms・Qes・Qts のうち2つを含むドライバファイルではありません</translation>
    </message>
    <message>
        <source>a closed or vented box from the finished loudspeaker&apos;s curve: every value with its ±1σ</source>
        <translation>完成したスピーカーの曲線から密閉箱・バスレフ箱を解析: すべての値に ±1σ</translation>
    </message>
    <message>
        <source>Needs --closed or --vented and the driver: --free FREE (fitted jointly; its resonance
may lie below the curve), --driver FILE.wdr, or --fs with --qts (or --qms and --qes).
Vab needs the driver&apos;s Vas; Vas comes from α and --vb. Each curve format is read.</source>
        <translation>--closed か --vented とユニットが必要です: --free FREE (一緒に適合。共振は曲線より下でも可)、
--driver FILE.wdr、または --fs と --qts (または --qms と --qes)。
Vab にはユニットの Vas が必要です。Vas は α と --vb から求めます。どの曲線の形式も読めます。</translation>
    </message>
    <message>
        <source>note: %1</source>
        <translation>注: %1</translation>
    </message>
    <message>
        <source>the box curve has two peaks: a vented box given as closed? (--vented)</source>
        <translation>箱の曲線にピークが2つあります。バスレフ箱ではありませんか (--vented)</translation>
    </message>
    <message>
        <source>the box curve has one peak: a closed box given as vented? (--closed)</source>
        <translation>箱の曲線にピークが1つしかありません。密閉箱ではありませんか (--closed)</translation>
    </message>
    <message>
        <source>the vented box&apos;s lower peak lies below the curve&apos;s range: measure from a lower frequency</source>
        <translation>バスレフ箱の低い方のピークが曲線の範囲より下にあります。もっと低い周波数から測定してください</translation>
    </message>
    <message>
        <source>the driver&apos;s values are incomplete: Fs and two of Qms, Qes, Qts are needed</source>
        <translation>ユニットの値が足りません (Fs と、Qms・Qes・Qts のうち2つが必要です)</translation>
    </message>
    <message>
        <source>the fitted %1 and its classic estimate (%2 %3) disagree beyond their uncertainties</source>
        <translation>適合の %1 と簡易計算の値 (%2 %3) が不確かさを超えて異なります</translation>
    </message>
    <message>
        <source>the curve does not tell the absorption (QA) and the port&apos;s loss (QP) apart: their combination QB is given</source>
        <translation>吸音損失 QA とポート損失 QP は曲線から分けられないため、合成の QB を示します</translation>
    </message>
    <message>
        <source>the free resonance lies below the free-air curve and was not measured: Fs, Qts and Vas come from the free curve above it and the box</source>
        <translation>フリーの共振は曲線より下にあり測定されていません。Fs・Qts・Vas は共振より上のフリーの曲線と箱から求めました</translation>
    </message>
    <message>
        <source>Re was not given: fitted</source>
        <translation>Re が与えられていないため適合で求めました</translation>
    </message>
    <message>
        <source>the driver from the free-air curve, fitted jointly with the box</source>
        <translation>ユニットの値はフリーの曲線から (箱と一緒に適合)</translation>
    </message>
    <message>
        <source>the driver from the driver file</source>
        <translation>ユニットの値はドライバファイルから</translation>
    </message>
    <message>
        <source>the driver from the values given</source>
        <translation>ユニットの値は与えられた値から</translation>
    </message>
    <message>
        <source>no driver given: what the box curve determines by itself</source>
        <translation>ユニットの値なし：箱の曲線だけで決まる値</translation>
    </message>
    <message>
        <source>the box volume must be above 0 and at most 10000 L</source>
        <translation>箱の容積は 0 より大きく 10000 L 以下にして下さい</translation>
    </message>
    <message>
        <source>--at lies outside the points fitted (%1–%2 Hz)</source>
        <translation>--at が適合した測定点の範囲（%1～%2 Hz）の外です</translation>
    </message>
    <message>
        <source>a frequency asked for lies outside the curve</source>
        <translation>値を求める周波数が曲線の範囲外です</translation>
    </message>
    <message>
        <source>--power must be above 0 and at most %1 W</source>
        <translation>--power は 0 より大きく %1 W 以下にして下さい</translation>
    </message>
    <message>
        <source>the driver file&apos;s Fs (%1 Hz) is far from the curve&apos;s resonance (%2 Hz): another driver&apos;s file?</source>
        <translation>ドライバファイルの Fs（%1 Hz）が曲線の共振（%2 Hz）から離れています。別のユニットのファイルではありませんか</translation>
    </message>
    <message>
        <source>Re is above the curve&apos;s smallest resistance (real part of Z)</source>
        <translation>Re が曲線の抵抗分（Z の実部）の最小値より大きくなっています</translation>
    </message>
    <message>
        <source>the fitted Re %1 Ω lies above the curve&apos;s smallest resistance (real part of Z), %2 Ω, by more than its σ allows</source>
        <translation>適合した Re %1 Ω が曲線の抵抗分（Z の実部）の最小値 %2 Ω を不確かさ以上に超えています</translation>
    </message>
    <message>
        <source>Re %1 Ω is above the curve&apos;s smallest resistance (real part of Z), %2 Ω, by more than a point&apos;s scatter: it is Re plus terms that are never negative</source>
        <translation>Re %1 Ω が曲線の抵抗分（Z の実部）の最小値 %2 Ω を測定点のばらつき以上に超えています（抵抗分は Re に負にならない項を加えたものです）</translation>
    </message>
    <message>
        <source>without the driver the absorption and the port&apos;s loss are given as one, QB; where a box has both, QL and Qms hold part of them</source>
        <translation>ユニットの値がないため、吸音とポートの損失は合成のQBとして示します。両方がある箱では、その一部がQLとQmsに含まれます</translation>
    </message>
</context>
</TS>
