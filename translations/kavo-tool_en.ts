<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Catalogue</name>
    <message>
        <source>データファイルの内容が正しくありませんでした</source>
        <translation>the contents are not a measurement data file</translation>
    </message>
    <message>
        <source>データエラーで計算できませんでした</source>
        <translation>the data cannot be converted (a data error)</translation>
    </message>
    <message>
        <source>データがありません</source>
        <translation>there is no data</translation>
    </message>
    <message>
        <source>参照データは５個までにしてください</source>
        <translation>at most five reference curves</translation>
    </message>
    <message>
        <source>印刷できませんでした。プリンタと出力先を確認して下さい。</source>
        <translation>the page cannot be printed; check the printer and the output</translation>
    </message>
    <message>
        <source>抵抗値の最大値が150Ωを越えています</source>
        <translation>the largest R is above 150 Ω</translation>
    </message>
    <message>
        <source>初期設定ファイルを保存できませんでした</source>
        <translation>the settings file cannot be saved</translation>
    </message>
    <message>
        <source>致命的なメモリエラーです:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>COMポートが開けませんでした。COM番号を確認して下さい。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>KA-Vユニットが見つかりませんでした。COM番号を確認して下さい。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>測定データを保存していません。破棄して新しい測定を開始しますか？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>測定データを保存していません。データを破棄しますか？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>測定データを保存していません。終了しますか？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>測定データを保存していません。破棄しますか？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ユニットとアプリケーションのバージョンがミスマッチです</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Interchange</name>
    <message>
        <source>%1行目: 数値として読めません (「%2」)</source>
        <translation>line %1: not a number (&quot;%2&quot;)</translation>
    </message>
    <message>
        <source>%1行目: 周波数・インピーダンス・位相の2列か3列が必要です (%2列あります)</source>
        <translation>line %1: 2 or 3 columns of frequency, impedance and phase are needed (there are %2)</translation>
    </message>
    <message>
        <source>%1行目: 周波数は正の値でなければなりません</source>
        <translation>line %1: the frequency must be above 0</translation>
    </message>
    <message>
        <source>%1行目: インピーダンスが範囲外です (0～655.35Ω)</source>
        <translation>line %1: the impedance is out of range (0 to 655.35 Ω)</translation>
    </message>
    <message>
        <source>%1行目: 位相が範囲外です (-360～360deg)</source>
        <translation>line %1: the phase is out of range (-360 to 360 deg)</translation>
    </message>
    <message>
        <source>データの行がありません</source>
        <translation>no data lines</translation>
    </message>
    <message>
        <source>異なる周波数のデータが2点以上必要です</source>
        <translation>at least 2 points of different frequencies are needed</translation>
    </message>
    <message>
        <source>ファイルを開けませんでした</source>
        <translation>cannot be opened</translation>
    </message>
    <message>
        <source>ファイルが大きすぎます</source>
        <translation>too large</translation>
    </message>
    <message>
        <source>帯域は1～4です</source>
        <translation>the band is 1 to 4</translation>
    </message>
    <message>
        <source>表の周波数は %1～%2 Hz です。</source>
        <translation>the table holds %1 to %2 Hz; </translation>
    </message>
    <message>
        <source>帯域%1 (%2～%3 Hz) の全体を含んでいません</source>
        <translation>it does not hold the whole of band %1 (%2 to %3 Hz)</translation>
    </message>
    <message>
        <source>%1 Hz の値を記録にできません</source>
        <translation>the value at %1 Hz cannot be coded as a record</translation>
    </message>
</context>
<context>
    <name>ToolText</name>
    <message>
        <source>options:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>this text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is given more than once</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 takes no value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no file given</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>one file only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2 is required</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the kind of table (zma unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the values unaveraged, not as the window shows them</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the table&apos;s file, - for standard output (beside FILE unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the curve as a ZMA, CSV or text table</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown format %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot be written</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot be written (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot make a temporary copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>larger than %1 MiB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no such file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>is a folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file name is empty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot be read (no permission)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the output would replace the input %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the output must end in %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the measurement file to write, - for standard output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the band 1-4 (the first band the table covers whole unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>band %1 needs %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>band %1 (%2, %3 points) chosen: the table holds %4; %5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a ZMA or text table from another program as a .DTA file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--band is 1, 2, 3 or 4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>commands:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A file named - is standard input where a file is read and standard output where one is written.
Exit status: 0 done, 1 failed, 2 a file that cannot be read, 64 a wrong command line.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a reference curve (.DTA, .zma, .txt or .csv), up to 5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>R alone, without θ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the wide lines</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the picture&apos;s size in pixels, 200x150 to 4000x4000 (800x600 unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the kind of picture (by OUT&apos;s extension unless given; png for -)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the picture&apos;s file, - for standard output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--size is WxH, 200x150 to 4000x4000</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>at most %1 references</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the graph as a picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>drawing needs the widget application</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a line of the page&apos;s information, up to 3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the page across (upright unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the resolution, 50 to 600 (600 unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the page&apos;s file, - for standard output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--dpi takes a whole number from %1 to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>at most three --info lines</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--info line %1 is not one line of at most %2 bytes in code page 932</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the printed page of the graph as a PDF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>standard output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>standard input</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the voice coil&apos;s DC resistance: adds the Thiele-Small parameters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the numbers in full, not rounded as the window shows them</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the cone&apos;s area: adds the mechanical parameters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the mass added for the second measurement, in grams</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the measurement with the added mass</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the closed box&apos;s volume, in litres</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the measurement in the closed box</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the air&apos;s density (1.18 unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the speed of sound (345 unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>resonance peaks, with --re the Thiele-Small parameters, with --sd the mechanical ones</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--sd needs --re and either --added-mass G with --loaded FILE2 (added-mass method)
or --box-litres L with --boxed FILE2 (closed-box method).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>f1 lies below the band; taken as Fs²/f2 = %1 Hz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the mechanical parameters need --sd CM2 (the cone area)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the mechanical parameters need --re OHMS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>give either --added-mass/--loaded or --box-litres/--boxed, not both</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--sd needs --added-mass GRAMS --loaded FILE or --box-litres L --boxed FILE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the added-mass method needs both --added-mass GRAMS and --loaded FILE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the closed-box method needs both --box-litres L and --boxed FILE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 must be a number above 0, not &apos;%2&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>already read for another file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the voice coil&apos;s DC resistance, held fixed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>fit Re as well (instead of --re)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the voice coil: jωLe, an LR2 network or a semi-inductance (semi unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>model the suspension&apos;s creep (the default)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a plain compliance</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the range&apos;s lower end (the curve&apos;s start unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the range&apos;s upper end (6 times the R peak&apos;s frequency unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the cone&apos;s area: adds Vas, needed with a box</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>one JSON object instead of the table</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>also write a WinISD-style driver file (SI units)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the driver file&apos;s Brand</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the driver file&apos;s Model</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--model takes le, lr2 or semi</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>give --creep or --no-creep, not both</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>give either --re OHMS or --fit-re</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--added-mass G and --loaded FILE go together</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--box-litres L and --boxed FILE go together</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the closed box needs --sd CM2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--fmin must be below --fmax</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the driver&apos;s model fitted to the curve(s): every value with its ±1σ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Needs --re OHMS or --fit-re. Tables (.zma, .csv, .txt) are read wherever a .DTA is.
Mms, Cms, Rms and Bl need a second curve (--added-mass with --loaded, or
--box-litres with --boxed and --sd); Vas needs --sd as well.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>warning: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>also write every file&apos;s verdict and parameters as CSV</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>one JSON object instead of the lines and the statistics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>also draw the reference, its band and the failing curves</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>at most N pairs (as many as there are unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the voice coil&apos;s Re: adds the Qts difference to the distance</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the band&apos;s lower end (the lowest all curves cover unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the band&apos;s upper end (the highest all curves cover unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>each file PASS or FAIL against a reference under the rules&apos; tolerances</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the drivers paired by likeness of curve, Fs and Qts, best pairs first</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>One line per pair: FILE&lt;TAB&gt;FILE&lt;TAB&gt;distance in %. The distance is
√(ΔR² + ΔFs² + ΔQts²): the RMS of R&apos;s relative difference on 200
log-spaced frequencies of the band, and Fs&apos;s and Qts&apos;s relative differences.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no readable file for the mean reference</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--pairs takes a whole number from 1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the curves have no band in common</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the reference has no points in the range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>reference: the mean</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>reference: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the start of the driver file&apos;s Comment</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 must not hold line breaks or other control characters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--brand, --model-name and --comment go with --wdr</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the data hold values that are not finite numbers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>too few points in the frequency range (10 or more per curve)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no resonance peak in the frequency range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Re must be above 0 and below the R of the resonance peak</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the resonance with the added mass is not below the free one</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the resonance in the closed box is not above the free one</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the closed-box curve needs Sd</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the fit did not converge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>poor fit: the residual %1 % is above %2 % (try another voice-coil model or range)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the added mass shifts Fs by %1 % (outside 15–45 % the result is ill-conditioned)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the closed box shifts Fs by %1 % (outside 15–45 % the result is ill-conditioned)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the added-mass and closed-box measurements disagree on Mms beyond their uncertainties (%1 g and %2 g)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 - would mix its file with the report on standard output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>One line per file: PASS&lt;TAB&gt;FILE or FAIL&lt;TAB&gt;FILE&lt;TAB&gt;reason; reason; ...
then the statistics per parameter (STAT, name, count, mean, σ, min, max).
Exit status: 0 all pass, 1 any fails, 2 a file cannot be read (the others
are checked) or --csv/--plot cannot be written, 64 a wrong command line or
rules file. The report is on standard output: --csv and --plot take no -.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>two files at least</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 and %2 are one file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not paired: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>fewer than two drivers to pair</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the range %1 is not inside the band every curve covers, %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no re = OHMS given</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a value of the fitted model</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 leaves the band at %2 by up to %3 (allowed ±%4)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the curve does not cover the range %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the curve has no point in the range %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2 outside %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 not determined: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the reference has no %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a key = value line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no key before =</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown key &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;%1&apos; given twice</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no value for &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a number or a percent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not an angle in deg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>range takes FMIN FMAX in Hz, FMIN below FMAX: &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>re takes ohms above 0: &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the interval&apos;s low end is above its high end: &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no reference (reference = PATH or reference = mean)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 needs re = OHMS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not determined by the check&apos;s fit of one curve (semi coil, creep)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>nothing to check: no R, theta or parameter limit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>too large for a rules file (1 MiB at most)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the reference %1 cannot be read: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the reference has no point</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the range %1 Hz holds no point of the reference</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the part (auto unless given: recognised from θ)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>also the part&apos;s value at this frequency (may be repeated)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a crossover part&apos;s values fitted to its curve: inductor, capacitor or resistor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reports L, Rdc and Q at 1 kHz; C, ESR, ESL and D at 1 kHz; or R and Ls. Points
beyond what the unit resolves (|Z| below 0.05 Ω or at its 655.35 Ω ceiling) are
left out; when too few remain, the message names the band to measure.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--kind takes auto, inductor, capacitor or resistor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the curve shows a driver&apos;s resonance, not a part (use fit or compensate)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>θ fits none of the parts: give --kind</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 points lie beyond what the unit resolves (|Z| from %3 to %4 Ω): measure band %5 (%6–%7 Hz) instead</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 points lie beyond what the unit resolves (|Z| from %3 to %4 Ω), and no band of the unit resolves this part</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>recognised from θ as an inductor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>recognised from θ as a capacitor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>recognised from θ as a resistor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 points left out: beyond what the unit resolves</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 needs two values</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the voice coil&apos;s DC resistance: the driver&apos;s model is fitted with it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Re, Fs, Qms and Qes from a driver file instead of --re</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>design the Zobel network (with --notch: both, the default)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>design the notch across the resonance</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the band to flatten in Hz (unless given 3 times Fs to the curve&apos;s top; for a notch alone the curve&apos;s bottom to 3 times Fs)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the standard values (E12 for L and C, E24 for R unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the drive into the nominal impedance for the Zobel resistor&apos;s power (10 W)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>also write the compensated curve (standard values) as a ZMA table</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a Zobel network and a notch designed to flatten the driver&apos;s measured impedance</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Needs --re OHMS or --driver FILE.wdr. Prints each component with ±σ and its standard
value, the flatness (largest deviation from Re over the band, exact and standard)
and the power the Zobel resistor takes at the top of the band.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>give either --re OHMS or --driver FILE.wdr</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--band takes two frequencies in Hz, the lower first</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--series takes E12, E24 or exact</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a driver file with Re, Fs, Qms and Qes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no driver&apos;s resonance in the curve (a part&apos;s curve goes to kavo-tool part)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the driver&apos;s model: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the band must lie within the curve and hold %1 points or more</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>too few points within what the unit resolves</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a driver&apos;s curve, not a part&apos;s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>θ fits none of the parts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the σ of the given Re (1 % of it unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the σ of the added mass (0.5 % of it unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 must be a number, 0 or above, not &apos;%2&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--re-sigma goes with --re</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--mass-sigma goes with --added-mass</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no peak was found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the value of Re is not valid</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>f1 cannot be found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>f2 cannot be found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>f1 and f2 cannot be computed correctly</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Re must be above 0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sd must be above 0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>air density and speed of sound must be above 0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the free driver&apos;s Fs, Qms and Qes are needed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the added mass must be above 0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the loaded resonance (%1 Hz) is not below the free one (%2 Hz)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the box volume must be above 0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the boxed resonance (%1 Hz) is not above the free one (%2 Hz)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the boxed driver&apos;s Qes is needed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fc·Qec (%1) is not above Fs·Qes (%2): the box measurement does not fit the free one</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the measurements give no finite result</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the fit gives no finite value: no resonance the model can describe in the range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the uncertainties cannot be computed (the data do not determine every parameter)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the coil models disagree on Re: %1 Ω here, %2 Ω with the other coil model; give --re</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no phase: magnitude fitted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a closed box</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a vented box (bass reflex)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the box&apos;s net volume in litres: gives Vas from α</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>its uncertainty (3 % unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the driver&apos;s free-air curve, fitted jointly with the box</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the driver from a driver file (σ from its comment)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the driver&apos;s Fs, given</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the driver&apos;s Qts, given</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the driver&apos;s Qms, given</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the driver&apos;s Qes, given</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the driver&apos;s Vas in litres, given: gives Vab</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the given driver values&apos; uncertainty in % (Fs 1, Q 3, Vas 10 unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the voice coil&apos;s DC resistance (the driver file&apos;s, or fitted, unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>its uncertainty (1 % unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the cone&apos;s area: Vas from a driver file&apos;s Cms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the voice coil: jωLe or a semi-inductance (semi unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the range&apos;s lower end (the curves&apos; start unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the range&apos;s upper end (6 times the highest peak unless given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>give either --closed or --vented</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>give the driver by one of --free FREE, --driver FILE.wdr or --fs HZ with its Q values</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the driver&apos;s values need --fs HZ and --qts Q (or --qms and --qes)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--driver-sigma goes with --driver or the driver&apos;s values</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--vb-sigma goes with --vb</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--sd goes with --driver</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--model takes le or semi</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a driver file with Fs and two of Qms, Qes, Qts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a closed or vented box from the finished loudspeaker&apos;s curve: every value with its ±1σ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Needs --closed or --vented and the driver: --free FREE (fitted jointly; its resonance
may lie below the curve), --driver FILE.wdr, or --fs with --qts (or --qms and --qes).
Vab needs the driver&apos;s Vas; Vas comes from α and --vb. Each curve format is read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>note: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the box curve has two peaks: a vented box given as closed? (--vented)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the box curve has one peak: a closed box given as vented? (--closed)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the vented box&apos;s lower peak lies below the curve&apos;s range: measure from a lower frequency</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the driver&apos;s values are incomplete: Fs and two of Qms, Qes, Qts are needed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the fitted %1 and its classic estimate (%2 %3) disagree beyond their uncertainties</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the curve does not tell the absorption (QA) and the port&apos;s loss (QP) apart: their combination QB is given</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the free resonance lies below the free-air curve and was not measured: Fs, Qts and Vas come from the free curve above it and the box</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Re was not given: fitted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the driver from the free-air curve, fitted jointly with the box</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the driver from the driver file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the driver from the values given</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no driver given: what the box curve determines by itself</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the box volume must be above 0 and at most 10000 L</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--at lies outside the points fitted (%1–%2 Hz)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a frequency asked for lies outside the curve</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--power must be above 0 and at most %1 W</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the driver file&apos;s Fs (%1 Hz) is far from the curve&apos;s resonance (%2 Hz): another driver&apos;s file?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Re is above the curve&apos;s smallest resistance (real part of Z)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the fitted Re %1 Ω lies above the curve&apos;s smallest resistance (real part of Z), %2 Ω, by more than its σ allows</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Re %1 Ω is above the curve&apos;s smallest resistance (real part of Z), %2 Ω, by more than a point&apos;s scatter: it is Re plus terms that are never negative</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>without the driver the absorption and the port&apos;s loss are given as one, QB; where a box has both, QL and Qms hold part of them</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
