#pragma once
// The graph control's published enumerations. Each value's ordinal is what
// crosses to the engine (PlottingMethod and PlottingMethodII aside, see
// PlottingMethod.h); the names are the ones a stored form uses.

enum class eAllowDataLabels : unsigned char { sgNoDataLabels, sgDataValues, sgPointLabels, sgDataPointLabels };
enum class eAllowUserInterface : unsigned char { sgNoInterface, sgAllInterface, sgNoKeyboard, sgNoMouse };
enum class eAllowZooming : unsigned char { sgNoZooming, sgHorzZooming, sgVertZooming, sgHorzPlusVertZooming };
enum class eAxisScaleControl : unsigned char { sgAuto, sgLinear, sgLog };
enum class eBestFitDegree : unsigned char { sgDegree2, sgDegree3, sgDegree4 };
enum class eBitmapStyle : unsigned char { sgNoBmp, sgStretchBlt, sgTiledBlt, sgBitBltTopLeft, sgBitBltTopCenter, sgBitBltTopRight, sgBitBltBottomLeft, sgBitBltBottomCenter, sgBitBltBottomRight, sgBitBltCenter };
enum class eBubbleSize : unsigned char { sgSmallBubbles, sgMediumBubbles, sgLargeBubbles };
enum class eCursorMode : unsigned char { sgNoCursor, sgVertLine, sgCrossHair, sgInvertedRect, sgFloatingY, sgFloatingXY, sgFloatingXOnly, sgFloatingYOnly };
enum class eCursorPromptStyle : unsigned char { sgNoPrompt, sgXValue, sgYValue, sgXandYValue };
enum class eCurveGranularity : unsigned char { sgCoarseLines, sgMediumLines, sgFineLines };
enum class eDataPrecision : unsigned char { sgNoDecimals, sgOneDecimal, sgTwoDecimals, sgThreeDecimals };
enum class eDataShadows : unsigned char { sgNo3D, sgWithShadows, sgWithThreeD };
enum class eDefOrientation : unsigned char { sgDriverDefault, sgLandscape, sgPortrait };
enum class eFontSize : unsigned char { sgLarge, sgMedium, sgSmall };
enum class eGradientStyle : unsigned char { sgNoGradient, sgVerticalGradient, sgHorizontalGradient };
enum class eGridLineControl : unsigned char { sgYPlusXAxis, sgYAxis, sgXAxis, sgNoGrid };
enum class eGridStyle : unsigned char { sgThin, sgThick, sgDot, sgDash, sgPixel };
enum class eHotSpotSize : unsigned char { sgSmallHotSpots, sgMediumHotSpots, sgLargeHotSpots };
enum class eLegendLocation : unsigned char { sgLegendTop, sgLegendBottom, sgLegendLeft, sgLegendRight };
enum class eManualScaleControl : unsigned char { sgAutoScale, sgManualMin, sgManualMax, sgManualMinAndMax };
enum class eMinimumPointSize : unsigned char { sgNoMPS, sgSmallMPS, sgMediumMPS, sgLargeMPS };
enum class eMultiAxesSeparators : unsigned char { sgNoSeparator, sgThinLine, sgMediumLine, sgThickLine, sgThickPlusTicks };
enum class ePlottingMethod : unsigned char { sgLine, sgPoint, sgStick, sgPointsPlusBFL, sgPointsPlusBFC, sgPointsPlusSpline, sgSpline, sgBubble, sgPointsPlusLine, sgArea, sgBar, sgSpecificPlotMode, sgStep, sgRibbon, sgContourLines, sgContourColors };
enum class ePlottingMethodII : unsigned char { sgLine2, sgPoint2, sgPointsPlusBFL2, sgPointsPlusBFC2, sgPointsPlusSpline2, sgSpline2, sgPointsPlusLine2, sgStep2, sgRibbon2 };
enum class ePointSize : unsigned char { sgSmallPoints, sgMediumPoints, sgLargePoints, sgMicroPoints };
enum class ePrintStyleControl : unsigned char { sgNoPrintStyleControl, sgPrintCurrentStyle, sgPrintDefaultMono };
enum class eQuickStyle : unsigned char { sgNoStyle, sgLightInset, sgLightShadow, sgLightLine, sgLightNoBorder, sgMedInset, sgMedShadow, sgMedLine, sgMedNoBorder, sgDarkInset, sgDarkShadow, sgDarkLine, sgDarkNoBorder };
enum class eShowAxis : unsigned char { sgGridPlusAxisLabels, sgAxisLabels, sgGridLabels, sgNoLabels, sgAxisLabelsOnly, sgEmpty };
enum class eShowTickMarks : unsigned char { sgTicksInside, sgTicksOutside, sgTicksHide };
enum class eSpecialScaling : unsigned char { sgNoSpecialScaling, sgFinancialScaling };
enum class eSpecificPlotMode : unsigned char { sgNormal, sgHighLowBar, sgHighLowLine, sgHighLowClose, sgOpenHighLowClose, sgBoxPlot };
enum class eSymbolFrequency : unsigned char { sgTwentyFourPercent, sgTwentyTwoPrecent, sgTwentyPercent, sgEighteenPercent, sgSixteenPercent, sgFourteenPercent, sgTwelvePercent, sgTenPercent, sgEightPercent, sgSixPercent };
enum class eTABorders : unsigned char { sgDropShadow, sgSingleLine, sgNoBorder, sgInset };
enum class eTickStyle : unsigned char { sgMatchGridStyle, sgThickTick, sgDotTick, sgDashTick, sgPixelTick, sgThinTick };
enum class eVBoundaryTypes : unsigned char { sgNone, sgUpper, sgLower, sgUpperPlusLower };
enum class eViewingStyle : unsigned char { sgColor, sgMonochrome, sgMonoPlusSymbols };
enum class eZoomInterfaceOnly : unsigned char { sgNormalZooming, sgRectangleSelector, sgLineSelector };
enum class eZoomStyle : unsigned char { sgFramed, sgRO2NOT };
